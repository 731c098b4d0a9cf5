// Finds the PC's own IPv4 address once at start-up and keeps it as the local address text
// "LI=<dotted address>\n" that requests carry and answers must echo.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/host_info.h"
#include "protocol/operator_output.h"

namespace ardvix::nettools {

inline constexpr const char* kReportFile = "ipset.txt";
inline constexpr size_t kReportBytesExamined = 400;
inline constexpr const char* kNoAddressMessage = "No Search IP Find";

struct LocalAddress {
  std::array<char, 20> text{};  // at most 19 characters and a terminating zero
  int length = 0;               // 0 when detection failed
  std::string_view view() const { return {text.data(), static_cast<size_t>(length)}; }
};

// Writes the interface report to ipset.txt in the current directory, checks its first 400
// bytes for a dotted mask ("255."), then takes the PC's address from its host name. Fills
// `text` and returns 1 on success; returns 0 and leaves `text` as it was on failure (the
// caller has zeroed it). Only a missing mask is reported to the operator.
int DetectLocalAddress(platform::HostInfo& host, protocol::OperatorOutput& out,
                       std::array<char, 20>& text);

// The address to use from a host-name resolution: its first non-loopback address; when it
// only has loopback addresses (Debian maps the host name to 127.0.1.1), the address of the
// first up, non-loopback, broadcast-capable interface. 0 when there is none.
uint32_t ChooseLocalAddress(const std::vector<uint32_t>& resolved,
                            const std::vector<platform::InterfaceInfo>& interfaces);

}  // namespace ardvix::nettools
