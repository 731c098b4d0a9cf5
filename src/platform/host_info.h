// What the PC knows of itself: its host name, name resolution and its IPv4 interfaces.
// Threads: any; every call blocks until answered.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ardvix::platform {

struct InterfaceInfo {
  std::string name;
  int index = 0;
  uint32_t address = 0;  // host byte order
  uint32_t netmask = 0;  // host byte order
  bool up = false;
  bool loopback = false;
  bool broadcast = false;  // broadcast-capable
};

class HostInfo {
 public:
  virtual ~HostInfo() = default;
  virtual std::optional<std::string> HostName() = 0;
  // IPv4 addresses (host byte order) in the resolver's order; nullopt when the name does
  // not resolve.
  virtual std::optional<std::vector<uint32_t>> ResolveIpv4(const std::string& name) = 0;
  // Every interface with an IPv4 address, in the system's order.
  virtual std::vector<InterfaceInfo> Ipv4Interfaces() = 0;
};

std::string DottedQuad(uint32_t host_order_address);

}  // namespace ardvix::platform
