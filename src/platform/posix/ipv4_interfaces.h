// The PC's IPv4 interfaces as the kernel reports them (getifaddrs), shared by the host
// report and by the socket that sends limited broadcasts out of every interface.
#pragma once

#include <vector>

#include "platform/host_info.h"

namespace ardvix::platform {

// Every interface address of family IPv4, in the kernel's order. An interface with several
// IPv4 addresses appears once per address. Empty when the kernel cannot be asked.
std::vector<InterfaceInfo> ListIpv4Interfaces();

}  // namespace ardvix::platform
