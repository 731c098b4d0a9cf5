// The PC's host name, name resolution and IPv4 interfaces, from the C library.
#pragma once

#include "platform/host_info.h"

namespace ardvix::platform {

class PosixHostInfo : public HostInfo {
 public:
  std::optional<std::string> HostName() override;
  std::optional<std::vector<uint32_t>> ResolveIpv4(const std::string& name) override;
  std::vector<InterfaceInfo> Ipv4Interfaces() override;
};

}  // namespace ardvix::platform
