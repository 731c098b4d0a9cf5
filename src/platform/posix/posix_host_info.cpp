#include "platform/posix/posix_host_info.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <unistd.h>

#include <algorithm>

#include "platform/posix/ipv4_interfaces.h"

namespace ardvix::platform {

std::optional<std::string> PosixHostInfo::HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return std::nullopt;
  return std::string(name);
}

std::optional<std::vector<uint32_t>> PosixHostInfo::ResolveIpv4(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* list = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &list) != 0) return std::nullopt;
  // Without a socket type every address comes once per type (stream, datagram, raw);
  // each address is kept once, where it first appears, so the resolver's order stays.
  std::vector<uint32_t> addresses;
  for (const addrinfo* entry = list; entry != nullptr; entry = entry->ai_next) {
    if (entry->ai_family != AF_INET || entry->ai_addr == nullptr) continue;
    const uint32_t address =
        ntohl(reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr);
    if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
      addresses.push_back(address);
    }
  }
  freeaddrinfo(list);
  if (addresses.empty()) return std::nullopt;
  return addresses;
}

std::vector<InterfaceInfo> PosixHostInfo::Ipv4Interfaces() { return ListIpv4Interfaces(); }

}  // namespace ardvix::platform
