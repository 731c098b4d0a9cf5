// ICMP echo sockets for the ping engine, and the stop event that cuts its waits short.
//
// Threads: a socket is opened, used and closed on one thread (the ping worker's). The
// StopEvent is the exception: any thread may Signal it, and a wait on the socket's thread
// then returns at once.
//
// Reply layout: whatever kind of socket the factory opened, Receive stores each datagram
// starting with an IPv4 header followed by the ICMP message. A raw socket delivers the
// header the kernel received; the datagram socket delivers none, so the implementation
// builds one (20 bytes, protocol 1, the source address and the TTL from ancillary data).
//
// Opening (the posix factory):
//  - A raw socket (SOCK_RAW, IPPROTO_ICMP) first: it needs root or CAP_NET_RAW.
//  - EPERM: the process lacks CAP_NET_RAW. EACCES: a security module refused the raw
//    socket. In both cases the unprivileged ICMP datagram socket (SOCK_DGRAM,
//    IPPROTO_ICMP) is tried, which the kernel allows when net.ipv4.ping_group_range covers
//    one of the process's groups. Its identifier field is owned by the kernel: replies are
//    matched on their sequence number, source and echoed payload instead.
//  - Any other errno of the raw socket (EMFILE, ENFILE, ENOBUFS, ENOMEM,
//    EAFNOSUPPORT, ...) says the system cannot give us a socket at all, and the
//    datagram socket would fail the same way: the open fails with that errno.
//  - When the datagram socket is refused too (EACCES: no group in ping_group_range;
//    EPROTONOSUPPORT/EAFNOSUPPORT: a kernel without ping sockets), the open fails with the
//    raw socket's errno, which names the missing privilege.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>

namespace ardvix::platform {

// A manual-reset event: unsignalled at construction, signalled once and for good.
// Socket waits register a wake hook so that a descriptor-based wait is interrupted too.
class StopEvent {
 public:
  void Signal() {
    std::lock_guard lock(mutex_);
    signalled_ = true;
    for (auto& [id, hook] : hooks_) hook();
    changed_.notify_all();
  }
  bool IsSignalled() const {
    std::lock_guard lock(mutex_);
    return signalled_;
  }
  // Blocks up to ms milliseconds of real time; true when the event is (or became) signalled.
  bool WaitFor(uint32_t ms) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return signalled_; });
  }
  // hook runs inside Signal, under the event's lock: it must be quick and must not call back
  // into the event. After RemoveWakeHook returns, the hook is not called again.
  int AddWakeHook(std::function<void()> hook) {
    std::lock_guard lock(mutex_);
    const int id = next_hook_id_++;
    hooks_.emplace(id, std::move(hook));
    return id;
  }
  void RemoveWakeHook(int id) {
    std::lock_guard lock(mutex_);
    hooks_.erase(id);
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool signalled_ = false;
  int next_hook_id_ = 1;
  std::map<int, std::function<void()>> hooks_;
};

enum class IcmpSocketKind {
  kRaw,       // identifier as sent; every ICMP datagram of the host reaches the socket
  kDatagram,  // identifier rewritten by the kernel; only this socket's echo replies arrive
};

struct IcmpSendResult {
  int bytes = -1;          // bytes sent, -1 on failure
  int error_code = 0;      // errno when bytes is -1
  int64_t sent_at_us = 0;  // time just before the send, on the clock of arrival_us
};

enum class IcmpWaitState { kReadable, kTimedOut, kStopped, kFailed };

struct IcmpWaitResult {
  IcmpWaitState state = IcmpWaitState::kFailed;
  int error_code = 0;  // errno for kFailed
};

struct IcmpReceiveResult {
  int bytes = -1;          // bytes stored (IPv4 header first), -1 on failure
  int error_code = 0;      // errno when bytes is -1
  uint32_t source = 0;     // host byte order
  int64_t arrival_us = 0;  // the kernel's arrival time (SO_TIMESTAMP); receipt time without it
};

class IcmpSocket {
 public:
  virtual ~IcmpSocket() = default;  // closes the socket if still open

  virtual IcmpSocketKind kind() const = 0;
  // Sends one ICMP message to destination (host byte order).
  virtual IcmpSendResult SendTo(std::span<const uint8_t> message, uint32_t destination) = 0;
  // Waits until a datagram can be read, timeout_ms has passed, or stop is signalled (a stop
  // already signalled returns kStopped at once).
  virtual IcmpWaitResult WaitReadable(uint32_t timeout_ms, StopEvent& stop) = 0;
  // Reads one datagram without blocking; a longer one is cut to the buffer's size.
  virtual IcmpReceiveResult Receive(std::span<uint8_t> buffer) = 0;
  // Closes the socket; 0, or the errno of a failed close. A second call does nothing.
  virtual int Close() = 0;
};

struct IcmpOpenResult {
  std::unique_ptr<IcmpSocket> socket;  // null on failure
  int error_code = 0;                  // errno when socket is null
};

class IcmpSocketFactory {
 public:
  virtual ~IcmpSocketFactory() = default;
  virtual IcmpOpenResult Open() = 0;
};

}  // namespace ardvix::platform
