// Reads an ICMP echo reply out of a datagram that starts with its IPv4 header.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace ardvix::nettools {

struct EchoReplyFields {
  uint8_t ttl = 0;
  uint16_t identifier = 0;  // little-endian on the wire, as the requests carry it
  uint16_t sequence = 0;
  uint32_t echoed_send_time = 0;
};

// An echo reply (type 0, code 0) long enough to hold the echoed send time, behind an IPv4
// header whose length is taken from its IHL field. Anything else (ICMP errors quoting a
// datagram, echo requests, truncated or malformed headers) gives nullopt.
std::optional<EchoReplyFields> ParseEchoReply(std::span<const uint8_t> datagram);

}  // namespace ardvix::nettools
