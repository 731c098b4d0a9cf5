#include "platform/headless/fake_host_info.h"

#include <utility>

namespace ardvix::headless {

std::optional<std::string> FakeHostInfo::HostName() {
  std::lock_guard lock(mutex_);
  return host_name_;
}

std::optional<std::vector<uint32_t>> FakeHostInfo::ResolveIpv4(const std::string& name) {
  std::lock_guard lock(mutex_);
  resolved_names_.push_back(name);
  auto it = resolution_.find(name);
  if (it == resolution_.end()) return std::nullopt;
  return it->second;
}

std::vector<platform::InterfaceInfo> FakeHostInfo::Ipv4Interfaces() {
  std::lock_guard lock(mutex_);
  return interfaces_;
}

void FakeHostInfo::SetHostName(std::optional<std::string> name) {
  std::lock_guard lock(mutex_);
  host_name_ = std::move(name);
}

void FakeHostInfo::SetResolution(const std::string& name, std::vector<uint32_t> addresses) {
  std::lock_guard lock(mutex_);
  resolution_[name] = std::move(addresses);
}

void FakeHostInfo::SetUnresolvable(const std::string& name) {
  std::lock_guard lock(mutex_);
  resolution_.erase(name);
}

void FakeHostInfo::SetInterfaces(std::vector<platform::InterfaceInfo> interfaces) {
  std::lock_guard lock(mutex_);
  interfaces_ = std::move(interfaces);
}

std::vector<std::string> FakeHostInfo::resolved_names() const {
  std::lock_guard lock(mutex_);
  return resolved_names_;
}

}  // namespace ardvix::headless
