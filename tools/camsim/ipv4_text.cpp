#include "ipv4_text.h"

#include <charconv>

namespace camsim {

std::optional<uint32_t> ParseIpv4(std::string_view text) {
  uint32_t result = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (text.empty() || text.front() != '.') return std::nullopt;
      text.remove_prefix(1);
    }
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == 0 || digits > 3) return std::nullopt;
    unsigned value = 0;
    std::from_chars(text.data(), text.data() + digits, value);
    if (value > 255) return std::nullopt;
    result = (result << 8) | value;
    text.remove_prefix(digits);
  }
  if (!text.empty()) return std::nullopt;
  return result;
}

std::string FormatIpv4(uint32_t address) {
  return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
         std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::optional<int> MaskPrefixLength(uint32_t mask) {
  int prefix = 0;
  while (prefix < 32 && (mask & (0x80000000u >> prefix)) != 0) ++prefix;
  const uint32_t expected = prefix == 0 ? 0 : ~uint32_t{0} << (32 - prefix);
  if (mask != expected) return std::nullopt;
  return prefix;
}

std::optional<Ipv4Block> ParseIpv4Block(std::string_view text) {
  const size_t slash = text.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const auto network = ParseIpv4(text.substr(0, slash));
  const std::string_view prefix_text = text.substr(slash + 1);
  int prefix = -1;
  const auto [end, error] =
      std::from_chars(prefix_text.data(), prefix_text.data() + prefix_text.size(), prefix);
  if (!network || error != std::errc{} || end != prefix_text.data() + prefix_text.size() ||
      prefix < 0 || prefix > 32) {
    return std::nullopt;
  }
  const uint32_t host_bits =
      prefix == 0 ? ~uint32_t{0} : (prefix == 32 ? 0 : ~uint32_t{0} >> prefix);
  if ((*network & host_bits) != 0) return std::nullopt;
  return Ipv4Block{*network, prefix};
}

bool IsAssignableUnicast(uint32_t address) {
  const uint32_t first = address >> 24;
  return first != 0 && first != 127 && first < 224;
}

}  // namespace camsim
