// What the PC knows of itself, as a test sets it: a host name (or none), a resolution table
// and an interface list. A name missing from the table does not resolve.
// Threads: any (the ping worker resolves on its own thread).
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/host_info.h"

namespace ardvix::headless {

class FakeHostInfo : public platform::HostInfo {
 public:
  std::optional<std::string> HostName() override;
  std::optional<std::vector<uint32_t>> ResolveIpv4(const std::string& name) override;
  std::vector<platform::InterfaceInfo> Ipv4Interfaces() override;

  void SetHostName(std::optional<std::string> name);
  // addresses in host byte order, in the order the resolver gives them.
  void SetResolution(const std::string& name, std::vector<uint32_t> addresses);
  void SetUnresolvable(const std::string& name);
  void SetInterfaces(std::vector<platform::InterfaceInfo> interfaces);
  std::vector<std::string> resolved_names() const;  // every name asked for, in order

 private:
  mutable std::mutex mutex_;
  std::optional<std::string> host_name_;
  std::map<std::string, std::vector<uint32_t>> resolution_;
  std::vector<platform::InterfaceInfo> interfaces_;
  std::vector<std::string> resolved_names_;
};

}  // namespace ardvix::headless
