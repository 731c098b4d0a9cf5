// Dotted-decimal IPv4 texts and CIDR blocks, strictly parsed: the texts come from device
// files and from datagrams, so nothing malformed may slip through as a number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace camsim {

// Addresses are kept in host byte order.
std::optional<uint32_t> ParseIpv4(std::string_view text);
std::string FormatIpv4(uint32_t address);

// The prefix length of a contiguous mask such as 255.255.0.0; nullopt for 255.0.255.0.
std::optional<int> MaskPrefixLength(uint32_t mask);

struct Ipv4Block {
  uint32_t network = 0;
  int prefix = 0;
};
// "10.77.0.0/16"; host bits must be zero.
std::optional<Ipv4Block> ParseIpv4Block(std::string_view text);

// A unicast address a device may take: not 0.x, loopback, multicast or reserved.
bool IsAssignableUnicast(uint32_t address);

}  // namespace camsim
