#include "wire_format.h"

#include <algorithm>
#include <cstring>

namespace camsim {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

void PutText(std::vector<uint8_t>& frame, size_t offset, std::string_view text, size_t width) {
  const size_t length = std::min(text.size(), width);
  std::memcpy(frame.data() + offset, text.data(), length);
}

}  // namespace

std::string CommandWord(const std::vector<uint8_t>& datagram) {
  if (datagram.size() < 9) return "";
  for (size_t i = 0; i < 9; ++i) {
    if (datagram[i] < 'a' || datagram[i] > 'z') return "";
  }
  return std::string(datagram.begin(), datagram.begin() + 9);
}

std::string TextAt(const std::vector<uint8_t>& datagram, size_t offset, size_t max) {
  std::string text;
  for (size_t i = offset; i < datagram.size() && i - offset < max && datagram[i] != 0; ++i) {
    text += static_cast<char>(datagram[i]);
  }
  return text;
}

bool NamesMac(const std::vector<uint8_t>& datagram, std::string_view mac) {
  if (datagram.size() < 12 + mac.size() || std::memcmp(datagram.data() + 9, "MAC", 3) != 0) {
    return false;
  }
  for (size_t i = 0; i < mac.size(); ++i) {
    if (Lower(static_cast<char>(datagram[12 + i])) != Lower(mac[i])) return false;
  }
  return true;
}

std::vector<uint8_t> BuildAnswer(const Device& device, uint8_t code, std::string_view echo) {
  std::vector<uint8_t> frame(kAnswerLength, 0);
  PutText(frame, 0, device.mac, 17);
  PutText(frame, 19, device.gateway, 15);
  PutText(frame, 34, device.mask, 15);
  PutText(frame, 50, device.boot_proto, 6);
  PutText(frame, 60, device.id, 10);
  frame[kCodeOffset] = code;
  PutText(frame, kEchoOffset, echo, kEchoWidth);
  PutText(frame, 140, device.web_port, 6);
  return frame;
}

}  // namespace camsim
