#include "nettools/ping_echo_request.h"

namespace ardvix::nettools {
namespace {

void PutLittleEndian16(EchoRequest& r, size_t offset, uint16_t value) {
  r[offset] = static_cast<uint8_t>(value);
  r[offset + 1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

uint16_t InternetChecksum(std::span<const uint8_t> bytes) {
  uint32_t sum = 0;
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) sum += bytes[i] | (uint32_t{bytes[i + 1]} << 8);
  if (i < bytes.size()) sum += bytes[i];
  while (sum >> 16) sum = (sum & 0xFFFFu) + (sum >> 16);
  return static_cast<uint16_t>(~sum);
}

EchoRequest BuildEchoRequest(uint16_t identifier, uint16_t sequence, uint32_t send_time_ms) {
  EchoRequest r{};
  r[0] = 8;  // echo request
  r[1] = 0;
  PutLittleEndian16(r, 4, identifier);
  PutLittleEndian16(r, 6, sequence);
  for (size_t i = 0; i < 4; ++i) {
    r[kEchoSendTimeOffset + i] = static_cast<uint8_t>(send_time_ms >> (8 * i));
  }
  for (size_t i = 13; i < kEchoRequestBytes; ++i) r[i] = static_cast<uint8_t>(0x20 + (i - 13));
  PutLittleEndian16(r, 2, InternetChecksum(r));
  return r;
}

}  // namespace ardvix::nettools
