#include "window/address_text.h"

#include <cctype>
#include <string>

namespace ardvix::window {
namespace {

// Reads like the C library's atoi, without its undefined behaviour on overflow: only the
// low 8 bits are kept, so the digits are accumulated modulo 256.
uint8_t LowByteOfLeadingNumber(std::string_view part) {
  size_t i = 0;
  while (i < part.size() && std::isspace(static_cast<unsigned char>(part[i]))) ++i;
  bool negative = false;
  if (i < part.size() && (part[i] == '+' || part[i] == '-')) negative = part[i++] == '-';
  unsigned value = 0;
  for (; i < part.size() && std::isdigit(static_cast<unsigned char>(part[i])); ++i) {
    value = (value * 10 + static_cast<unsigned>(part[i] - '0')) & 0xFFu;
  }
  return static_cast<uint8_t>(negative ? (256u - value) & 0xFFu : value);
}

// find(start): the first '.' at or after start, or npos; part(x, y) empty unless y > x.
std::string_view Part(std::string_view text, size_t from, size_t to) {
  if (from >= text.size() || to <= from) return {};
  return text.substr(from, to == std::string_view::npos ? std::string_view::npos : to - from);
}

}  // namespace

std::array<uint8_t, 4> AddressTextToParts(std::string_view text) {
  // A missing dot (-1) makes the next search start at 0 again, as position arithmetic does.
  const auto find = [&](size_t start) -> long {
    const size_t at = text.find('.', start);
    return at == std::string_view::npos ? -1 : static_cast<long>(at);
  };
  const auto upto = [&](long from, long to) {
    if (from < 0) from = 0;
    if (to < 0 || to <= from) return std::string_view{};
    return Part(text, static_cast<size_t>(from), static_cast<size_t>(to));
  };
  const long a = find(0);
  const long b = find(static_cast<size_t>(a + 1));
  const long c = find(static_cast<size_t>(b + 1));
  std::array<uint8_t, 4> parts{};
  parts[0] = LowByteOfLeadingNumber(upto(0, a));
  parts[1] = LowByteOfLeadingNumber(upto(a + 1, b));
  parts[2] = LowByteOfLeadingNumber(upto(b + 1, c));
  parts[3] = LowByteOfLeadingNumber(Part(text, static_cast<size_t>(c + 1), std::string_view::npos));
  return parts;
}

}  // namespace ardvix::window
