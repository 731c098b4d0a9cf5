#include "protocol/command_datagram.h"

#include <algorithm>
#include <cstring>

namespace ardvix::protocol {

size_t WriteText(std::span<uint8_t> frame, size_t offset, std::string_view text) {
  if (offset >= frame.size()) return frame.size();
  const size_t n = std::min(text.size(), frame.size() - offset);
  std::memcpy(frame.data() + offset, text.data(), n);
  return offset + n;
}

size_t BuildFrame(std::span<uint8_t> frame, std::string_view command_word,
                  std::initializer_list<std::string_view> payload) {
  std::fill(frame.begin(), frame.end(), uint8_t{0});
  size_t at = WriteText(frame, 0, command_word.substr(0, kCommandWordLength));
  // The word's terminator lands at byte 9 and is overwritten by the first payload text.
  for (std::string_view text : payload) at = WriteText(frame, at, text);
  return at - std::min(at, kCommandWordLength);
}

}  // namespace ardvix::protocol
