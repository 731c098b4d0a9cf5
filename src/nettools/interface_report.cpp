#include "nettools/interface_report.h"

#include <cstdio>

namespace ardvix::nettools {

std::string FormatInterfaceReport(const std::vector<platform::InterfaceInfo>& interfaces) {
  std::string report = "IPv4 interface configuration\n\n";
  for (const auto& i : interfaces) {
    report += "Interface " + i.name + (i.up ? "" : " (down)") + ":\n";
    report += "   IPv4 Address. . . . . . . . . . . : " + platform::DottedQuad(i.address) + "\n";
    report += "   Subnet Mask . . . . . . . . . . . : " + platform::DottedQuad(i.netmask) + "\n\n";
  }
  return report;
}

bool WriteInterfaceReport(const std::string& path,
                          const std::vector<platform::InterfaceInfo>& interfaces) {
  const std::string report = FormatInterfaceReport(interfaces);
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (f == nullptr) return false;
  const bool written = std::fwrite(report.data(), 1, report.size(), f) == report.size();
  return std::fclose(f) == 0 && written;
}

}  // namespace ardvix::nettools
