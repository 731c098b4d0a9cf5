// The echo request the ping engine sends, and the Internet checksum (RFC 1071).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace ardvix::nettools {

inline constexpr size_t kEchoRequestBytes = 45;
inline constexpr int kEchoDataBytes = 32;  // the "bytes=" of the output lines
inline constexpr size_t kEchoSendTimeOffset = 9;

using EchoRequest = std::array<uint8_t, kEchoRequestBytes>;

// Sums the bytes as little-endian 16-bit words (an odd last byte as a low byte) and returns
// the complement of the folded sum. Stored little-endian, it is the checksum on the wire:
// the one's complement sum does not depend on the byte order it is computed in.
uint16_t InternetChecksum(std::span<const uint8_t> bytes);

// Type 8, code 0, checksum, identifier and sequence (little-endian, as the devices' tools
// have always seen them), byte 8 zero, the send time at offset 9 and the fill 0x20..0x3F.
EchoRequest BuildEchoRequest(uint16_t identifier, uint16_t sequence, uint32_t send_time_ms);

}  // namespace ardvix::nettools
