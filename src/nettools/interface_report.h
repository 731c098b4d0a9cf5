// The PC's network-configuration report: every IPv4 interface with its address and its
// dotted subnet mask, in the system's order. The program writes it itself to a file, since
// no configuration command can be relied on to exist on every system.
#pragma once

#include <string>
#include <vector>

#include "platform/host_info.h"

namespace ardvix::nettools {

std::string FormatInterfaceReport(const std::vector<platform::InterfaceInfo>& interfaces);

// Writes the report, replacing the file. Returns false when it could not be written whole.
bool WriteInterfaceReport(const std::string& path,
                          const std::vector<platform::InterfaceInfo>& interfaces);

}  // namespace ardvix::nettools
