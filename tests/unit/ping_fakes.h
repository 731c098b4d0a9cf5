// Fakes for the ping engine's tests: a scripted ICMP socket, a clock that moves only when a
// wait times out, a resolution table, a neighbour table and a target that records every
// notification with how it was delivered.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "nettools/neighbour_table.h"
#include "nettools/ping_echo_request.h"
#include "platform/clock.h"
#include "platform/host_info.h"
#include "platform/icmp_socket.h"
#include "platform/window.h"

namespace ardvix::pingtest {

inline constexpr uint32_t kTarget = 0x0A000002;  // 10.0.0.2
inline constexpr uint32_t kOther = 0x0A000009;   // 10.0.0.9

class FakeClock : public platform::Clock {
 public:
  uint32_t TickCountMs() const override {
    std::lock_guard lock(mutex_);
    return now_;
  }
  void SleepMs(uint32_t ms) override { Advance(ms); }
  platform::LocalDateTime LocalTimeNow() const override { return {}; }
  void Advance(uint32_t ms) {
    std::lock_guard lock(mutex_);
    now_ += ms;
  }

 private:
  mutable std::mutex mutex_;
  uint32_t now_ = 0xFFFFF000u;  // close to the wrap, which the engine must survive
};

// An IPv4 datagram as a raw socket delivers it, with the header length given in words.
inline std::vector<uint8_t> Ipv4Datagram(std::span<const uint8_t> icmp, uint8_t ttl = 64,
                                         int header_words = 5) {
  std::vector<uint8_t> d(static_cast<size_t>(header_words) * 4, 0);
  d[0] = static_cast<uint8_t>(0x40 | header_words);
  d[8] = ttl;
  d[9] = 1;
  d.insert(d.end(), icmp.begin(), icmp.end());
  return d;
}

// The echo reply a host gives to request: type 0, the rest echoed.
inline std::vector<uint8_t> EchoReplyTo(const std::vector<uint8_t>& request, uint8_t ttl = 64,
                                        int header_words = 5) {
  std::vector<uint8_t> icmp = request;
  icmp[0] = 0;
  return Ipv4Datagram(icmp, ttl, header_words);
}

// A destination-unreachable error quoting the request behind its own IPv4 header.
inline std::vector<uint8_t> HostUnreachableFor(const std::vector<uint8_t>& request) {
  std::vector<uint8_t> icmp = {3, 1, 0, 0, 0, 0, 0, 0};
  const std::vector<uint8_t> quoted = Ipv4Datagram(request);
  icmp.insert(icmp.end(), quoted.begin(), quoted.end());
  return Ipv4Datagram(icmp);
}

struct Inbound {
  std::vector<uint8_t> bytes;
  uint32_t source = kTarget;
  int64_t arrival_us = 0;
  int receive_error = 0;  // non-zero: Receive fails with this errno
};

// What the scripted socket does; shared with the test, which reads what was sent.
struct SocketScript {
  platform::IcmpSocketKind kind = platform::IcmpSocketKind::kRaw;
  int open_error = 0;
  int close_error = 0;
  std::vector<int> send_errors;  // by send attempt from 0; 0 or missing: sent
  int wait_error = 0;            // non-zero: every wait fails
  // Called after each send with the request and its number; returns what then arrives.
  std::function<std::vector<Inbound>(const std::vector<uint8_t>&, int)> on_send;
  std::function<void()> on_wait;  // lets a test block a job at its wait

  std::vector<std::vector<uint8_t>> sent;
  std::vector<uint32_t> destinations;  // of every send attempt
  int waits = 0;
  bool closed = false;
};

class FakeIcmpSocket : public platform::IcmpSocket {
 public:
  FakeIcmpSocket(SocketScript& script, FakeClock& clock) : script_(script), clock_(clock) {}
  platform::IcmpSocketKind kind() const override { return script_.kind; }
  platform::IcmpSendResult SendTo(std::span<const uint8_t> message, uint32_t to) override {
    const size_t attempt = script_.destinations.size();
    script_.destinations.push_back(to);
    platform::IcmpSendResult result;
    result.sent_at_us = 1'000'000 * static_cast<int64_t>(attempt + 1);
    if (attempt < script_.send_errors.size() && script_.send_errors[attempt] != 0) {
      result.error_code = script_.send_errors[attempt];
      return result;
    }
    std::vector<uint8_t> bytes(message.begin(), message.end());
    script_.sent.push_back(bytes);
    if (script_.on_send) {
      for (Inbound& in : script_.on_send(bytes, static_cast<int>(script_.sent.size()) - 1)) {
        if (in.arrival_us == 0) in.arrival_us = result.sent_at_us + 3000;
        inbox_.push_back(std::move(in));
      }
    }
    result.bytes = static_cast<int>(message.size());
    return result;
  }
  platform::IcmpWaitResult WaitReadable(uint32_t timeout_ms, platform::StopEvent& stop) override {
    ++script_.waits;
    if (script_.on_wait) script_.on_wait();
    if (stop.IsSignalled()) return {platform::IcmpWaitState::kStopped, 0};
    if (script_.wait_error != 0) return {platform::IcmpWaitState::kFailed, script_.wait_error};
    if (!inbox_.empty()) return {platform::IcmpWaitState::kReadable, 0};
    clock_.Advance(timeout_ms);
    return {platform::IcmpWaitState::kTimedOut, 0};
  }
  platform::IcmpReceiveResult Receive(std::span<uint8_t> buffer) override {
    platform::IcmpReceiveResult result;
    Inbound in = std::move(inbox_.front());
    inbox_.pop_front();
    if (in.receive_error != 0) {
      result.error_code = in.receive_error;
      return result;
    }
    const size_t n = std::min(buffer.size(), in.bytes.size());
    std::copy_n(in.bytes.begin(), n, buffer.begin());
    result.bytes = static_cast<int>(n);
    result.source = in.source;
    result.arrival_us = in.arrival_us;
    return result;
  }
  int Close() override {
    script_.closed = true;
    return script_.close_error;
  }

 private:
  SocketScript& script_;
  FakeClock& clock_;
  std::deque<Inbound> inbox_;
};

class FakeIcmpSocketFactory : public platform::IcmpSocketFactory {
 public:
  FakeIcmpSocketFactory(SocketScript& script, FakeClock& clock) : script_(script), clock_(clock) {}
  platform::IcmpOpenResult Open() override {
    if (script_.open_error != 0) return {nullptr, script_.open_error};
    return {std::make_unique<FakeIcmpSocket>(script_, clock_), 0};
  }

 private:
  SocketScript& script_;
  FakeClock& clock_;
};

// Resolves names from a table; on_resolve lets a test hold a job inside its resolution.
class TableHostInfo : public platform::HostInfo {
 public:
  std::optional<std::string> HostName() override { return "pc"; }
  std::optional<std::vector<uint32_t>> ResolveIpv4(const std::string& name) override {
    if (on_resolve) on_resolve(name);
    std::lock_guard lock(mutex_);
    resolved.push_back(name);
    const auto it = table.find(name);
    if (it == table.end()) return std::nullopt;
    return it->second;
  }
  std::vector<platform::InterfaceInfo> Ipv4Interfaces() override { return {}; }
  std::vector<std::string> Resolved() {
    std::lock_guard lock(mutex_);
    return resolved;
  }

  std::map<std::string, std::vector<uint32_t>> table;
  std::function<void(const std::string&)> on_resolve;

 private:
  std::mutex mutex_;
  std::vector<std::string> resolved;
};

class FixedNeighbourTable : public nettools::NeighbourTable {
 public:
  std::optional<nettools::NeighbourEntry> Lookup(uint32_t address) override {
    looked_up.push_back(address);
    return entry;
  }
  std::optional<nettools::NeighbourEntry> entry;
  std::vector<uint32_t> looked_up;
};

// Records each notification as "send:<code hex>" or "post:<code hex>:<wparam>:<lparam>[:text]".
class RecordingTarget : public platform::NotificationTarget {
 public:
  void Send(const platform::Notification& n) override { Record("send", n); }
  void Post(platform::Notification n) override { Record("post", n); }

  std::vector<std::string> Events() {
    std::lock_guard lock(mutex_);
    return events_;
  }
  int Count(const std::string& prefix) {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(events_.begin(), events_.end(),
                                          [&](const auto& e) { return e.rfind(prefix, 0) == 0; }));
  }
  // Waits (real time) until an event starting with prefix has been recorded count times.
  bool WaitFor(const std::string& prefix, int count, int timeout_ms) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] {
      return std::count_if(events_.begin(), events_.end(),
                           [&](const auto& e) { return e.rfind(prefix, 0) == 0; }) >= count;
    });
  }

 private:
  void Record(const char* how, const platform::Notification& n) {
    char head[64];
    if (std::string(how) == "send") {
      std::snprintf(head, sizeof head, "send:%x", n.code);
    } else {
      std::snprintf(head, sizeof head, "post:%x:%lu:%ld", n.code,
                    static_cast<unsigned long>(n.wparam), static_cast<long>(n.lparam));
    }
    std::string event = head;
    if (!n.text.empty()) event += ":" + n.text;
    {
      std::lock_guard lock(mutex_);
      events_.push_back(event);
    }
    changed_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> events_;
};

}  // namespace ardvix::pingtest
