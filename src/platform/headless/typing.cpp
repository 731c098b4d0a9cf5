#include "platform/headless/typing.h"

#include <vector>

namespace ardvix::headless {

std::string TypedText(const std::string& utf8, int max_chars, bool upper_case) {
  std::string typed;
  int chars = 0;
  for (char c : utf8) {
    const bool starts_char = (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (starts_char) {
      if (max_chars >= 0 && chars == max_chars) break;
      ++chars;
    }
    if (upper_case && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    typed.push_back(c);
  }
  return typed;
}

std::optional<platform::IpAddressParts> TypedIpAddress(const std::string& dotted_with_blanks) {
  platform::IpAddressParts parts;
  if (dotted_with_blanks.empty()) return parts;
  std::vector<std::string> fields(1);
  for (char c : dotted_with_blanks) {
    if (c == '.') {
      fields.emplace_back();
    } else if (c >= '0' && c <= '9') {
      fields.back().push_back(c);
    } else {
      return std::nullopt;
    }
  }
  if (fields.size() > 4) return std::nullopt;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].empty()) continue;
    if (fields[i].size() > 3) return std::nullopt;
    const int value = std::stoi(fields[i]);
    parts.part[i] = static_cast<uint8_t>(value > 255 ? 255 : value);
    ++parts.filled;
  }
  return parts;
}

}  // namespace ardvix::headless
