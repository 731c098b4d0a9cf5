#include "platform/posix/ipv4_interfaces.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace ardvix::platform {

namespace {

uint32_t HostOrderAddress(const sockaddr* address) {
  if (address == nullptr || address->sa_family != AF_INET) return 0;
  return ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
}

}  // namespace

std::vector<InterfaceInfo> ListIpv4Interfaces() {
  std::vector<InterfaceInfo> result;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return result;
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) continue;
    InterfaceInfo info;
    info.name = entry->ifa_name;
    info.index = static_cast<int>(if_nametoindex(entry->ifa_name));
    info.address = HostOrderAddress(entry->ifa_addr);
    info.netmask = HostOrderAddress(entry->ifa_netmask);
    info.up = (entry->ifa_flags & IFF_UP) != 0;
    info.loopback = (entry->ifa_flags & IFF_LOOPBACK) != 0;
    info.broadcast = (entry->ifa_flags & IFF_BROADCAST) != 0;
    result.push_back(std::move(info));
  }
  freeifaddrs(list);
  return result;
}

}  // namespace ardvix::platform
