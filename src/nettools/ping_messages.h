// Window notifications of the ping worker (WM_USER based; the receiving window decides
// what they mean for it).
#pragma once

#include <cstdint>

namespace ardvix::nettools {

inline constexpr uint32_t WM_PING_REPLY = 0x403;    // sent: a request of the job was answered
inline constexpr uint32_t WM_PING_TIMEOUT = 0x404;  // sent: a cycle ended without an answer
inline constexpr uint32_t WM_PING_NOHOST = 0x405;   // sent: the target did not resolve
inline constexpr uint32_t WM_PING_TEXT = 0x500;     // posted: one line, wparam = PingLineKind
inline constexpr uint32_t WM_PING_DONE = 0x501;     // posted once per job; lparam below

// wparam of WM_PING_TEXT.
enum PingLineKind : uintptr_t {
  kPingLineError = 0,    // an error or "Host not found" line
  kPingLineOpening = 1,  // "Pinging ..."
  kPingLineReply = 2,
  kPingLineTimeout = 3,
};

// lparam of WM_PING_DONE.
inline constexpr intptr_t kPingDoneEndedEarly = 0;  // no cycle ran (no socket, no host)
inline constexpr intptr_t kPingDoneCyclesRun = 1;

}  // namespace ardvix::nettools
