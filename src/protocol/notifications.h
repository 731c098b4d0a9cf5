// Window notification codes of the main window (WM_USER based, fixed values).
#pragma once

#include <cstdint>

namespace ardvix::protocol {

inline constexpr uint32_t WM_USER = 0x400;
inline constexpr uint32_t WM_BROADCAST_RECEIVE = 0x402;
inline constexpr uint32_t WM_PING_REPLY = 0x403;
inline constexpr uint32_t WM_PING_TIMEOUT = 0x404;
inline constexpr uint32_t WM_PING_NOHOST = 0x405;
inline constexpr uint32_t WM_AUTH_OK = 0x406;
inline constexpr uint32_t WM_AUTH_FAIL = 0x407;
inline constexpr uint32_t WM_IPCHANGE_RECEIVE = 0x408;
inline constexpr uint32_t WM_VIDEOSET_RECEIVE = 0x409;
// Any value works as long as no other notification of the main window uses it.
inline constexpr uint32_t WM_AUTH_ERROR = 0x40A;
inline constexpr uint32_t WM_PING_TEXT = 0x500;
inline constexpr uint32_t WM_PING_DONE = 0x501;

}  // namespace ardvix::protocol
