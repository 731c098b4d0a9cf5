#include "address_mover.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

#include "ipv4_text.h"

namespace camsim {
namespace {

std::optional<std::string> InterfaceHolding(uint32_t address) {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return std::nullopt;
  std::optional<std::string> name;
  for (ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) continue;
    const auto* in = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
    if (ntohl(in->sin_addr.s_addr) == address) {
      name = entry->ifa_name;
      break;
    }
  }
  freeifaddrs(list);
  return name;
}

// Runs `ip -4 addr <verb> <address>/32 dev <interface>` without a shell; the address is a
// number we formatted, never text from the wire.
bool RunIpAddr(const char* verb, uint32_t address, const std::string& interface_name) {
  const std::string cidr = FormatIpv4(address) + "/32";
  std::vector<const char*> argv = {
      "ip", "-4", "addr", verb, cidr.c_str(), "dev", interface_name.c_str(), nullptr};
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    execvp("ip", const_cast<char* const*>(argv.data()));
    _exit(127);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

std::optional<std::string> AddressMoveRefusal() {
  struct stat own {};
  if (stat("/proc/self/ns/net", &own) != 0) return "cannot tell which network namespace this is";
  // The host's own namespace, when we may look at it, is never a lab.
  struct stat initial {};
  if (stat("/proc/1/ns/net", &initial) == 0 && own.st_ino == initial.st_ino &&
      own.st_dev == initial.st_dev) {
    return "running in the host's own network namespace";
  }
  // A lab namespace is one that `ip netns add` created and named under /run/netns.
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/run/netns", error)) {
    struct stat named {};
    if (stat(entry.path().c_str(), &named) == 0 && named.st_ino == own.st_ino &&
        named.st_dev == own.st_dev) {
      return std::nullopt;
    }
  }
  return "not inside a named network namespace (ip netns)";
}

std::string MoveAddress(uint32_t from, uint32_t to, bool keep_from) {
  const auto interface_name = InterfaceHolding(from);
  if (!interface_name) return "no interface holds " + FormatIpv4(from);
  if (!RunIpAddr("replace", to, *interface_name)) {
    return "ip addr replace " + FormatIpv4(to) + " on " + *interface_name + " failed";
  }
  if (!keep_from && !RunIpAddr("del", from, *interface_name)) {
    return "ip addr del " + FormatIpv4(from) + " on " + *interface_name + " failed";
  }
  return "";
}

}  // namespace camsim
