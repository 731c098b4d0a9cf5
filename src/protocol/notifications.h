// Window notification codes of the channels (WM_USER based, fixed values). The ping
// worker's codes are in nettools/ping_messages.h.
#pragma once

#include <cstdint>

namespace ardvix::protocol {

inline constexpr uint32_t WM_USER = 0x400;
inline constexpr uint32_t WM_BROADCAST_RECEIVE = 0x402;
inline constexpr uint32_t WM_AUTH_OK = 0x406;
inline constexpr uint32_t WM_AUTH_FAIL = 0x407;
inline constexpr uint32_t WM_IPCHANGE_RECEIVE = 0x408;
inline constexpr uint32_t WM_VIDEOSET_RECEIVE = 0x409;
// Any value works as long as no other notification of the main window uses it.
inline constexpr uint32_t WM_AUTH_ERROR = 0x40A;

}  // namespace ardvix::protocol
