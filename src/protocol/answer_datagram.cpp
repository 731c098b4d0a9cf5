#include "protocol/answer_datagram.h"

#include <algorithm>
#include <cstring>

namespace ardvix::protocol {

std::string TextUpToZero(std::span<const uint8_t> buffer, size_t offset, size_t width) {
  if (offset >= buffer.size()) return {};
  const size_t end = std::min(buffer.size(), offset + width);
  const auto first = buffer.begin() + static_cast<std::ptrdiff_t>(offset);
  const auto last = std::find(first, buffer.begin() + static_cast<std::ptrdiff_t>(end), 0);
  return std::string(first, last);
}

std::optional<uint8_t> MatchAnswer(std::span<const uint8_t> buffer, std::string_view local_text,
                                   std::initializer_list<uint8_t> codes) {
  if (buffer.size() <= kAnswerCodeOffset) return std::nullopt;
  const uint8_t code = buffer[kAnswerCodeOffset];
  if (std::find(codes.begin(), codes.end(), code) == codes.end()) return std::nullopt;
  if (buffer.size() < kEchoOffset + local_text.size()) return std::nullopt;
  if (std::memcmp(buffer.data() + kEchoOffset, local_text.data(), local_text.size()) != 0) {
    return std::nullopt;
  }
  return code;
}

DeviceRecord ParseAnnouncement(std::span<const uint8_t> buffer, const std::string& source_address) {
  DeviceRecord r;
  r.ipAddress = source_address;
  r.subnetMask = TextUpToZero(buffer, 34, 15);
  r.gateway = TextUpToZero(buffer, 19, 15);
  r.bootProto = TextUpToZero(buffer, 50, 6);
  r.id = TextUpToZero(buffer, 60, 10);
  r.macAddress = TextUpToZero(buffer, 0, buffer.size()).substr(0, 17);
  r.webPort = TextUpToZero(buffer, 140, 6);
  if (r.webPort.empty()) r.webPort = "Upgrade";
  return r;
}

}  // namespace ardvix::protocol
