#include "nettools/local_address.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "nettools/interface_report.h"

namespace ardvix::nettools {
namespace {

bool IsLoopback(uint32_t address) { return (address >> 24) == 127; }

// The first bytes of the report; an unreadable report reads as empty.
std::string ReadReportStart(const char* path) {
  std::FILE* f = std::fopen(path, "r");
  if (f == nullptr) return {};
  char block[kReportBytesExamined];
  const size_t n = std::fread(block, 1, sizeof block, f);
  std::fclose(f);
  return std::string(block, n);
}

}  // namespace

uint32_t ChooseLocalAddress(const std::vector<uint32_t>& resolved,
                            const std::vector<platform::InterfaceInfo>& interfaces) {
  for (uint32_t a : resolved) {
    if (!IsLoopback(a)) return a;
  }
  for (const auto& i : interfaces) {
    if (i.up && i.broadcast && !i.loopback && !IsLoopback(i.address) && i.address != 0) {
      return i.address;
    }
  }
  return 0;
}

int DetectLocalAddress(platform::HostInfo& host, protocol::OperatorOutput& out,
                       std::array<char, 20>& text) {
  const std::vector<platform::InterfaceInfo> interfaces = host.Ipv4Interfaces();
  WriteInterfaceReport(kReportFile, interfaces);
  if (ReadReportStart(kReportFile).find("255.") == std::string::npos) {
    out.ShowMessage(kNoAddressMessage);
    return 0;
  }
  const auto name = host.HostName();
  if (!name) return 0;
  const auto resolved = host.ResolveIpv4(*name);
  if (!resolved || resolved->empty()) return 0;
  const uint32_t address = ChooseLocalAddress(*resolved, interfaces);
  if (address == 0) return 0;
  std::snprintf(text.data(), text.size(), "LI=%s\n", platform::DottedQuad(address).c_str());
  return 1;
}

}  // namespace ardvix::nettools
