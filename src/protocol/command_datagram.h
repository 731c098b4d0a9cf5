// The request frame every command uses: a 9-letter command word at bytes 0-8, the payload
// texts from byte 9 on without terminators, zero bytes to the end of the frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

namespace ardvix::protocol {

inline constexpr uint16_t DEVICE_PORT = 7005;
inline constexpr const char* kBroadcastAddress = "255.255.255.255";
inline constexpr size_t kFrameLength = 300;
inline constexpr size_t kPwconfirmFrameLength = 60;
inline constexpr size_t kCommandWordLength = 9;

inline constexpr std::string_view kCmdDiscover = "cryptomac";
inline constexpr std::string_view kCmdFindByMac = "ipadrfind";
inline constexpr std::string_view kCmdPasswordConfirm = "pwconfirm";
inline constexpr std::string_view kCmdAddressSet = "ipaddrset";
inline constexpr std::string_view kCmdDynamicSet = "dynamcset";
inline constexpr std::string_view kCmdVideoSet = "videosetc";
inline constexpr std::string_view kCmdFarewell = "destroyee";

// Clears the frame, writes the command word and its terminating zero at bytes 0-9, then the
// payload texts from byte 9 on, each directly behind the one before (the first overwrites
// the zero at byte 9). A payload that would run past the frame is cut at the frame's end.
// Returns the number of payload bytes written.
size_t BuildFrame(std::span<uint8_t> frame, std::string_view command_word,
                  std::initializer_list<std::string_view> payload = {});

// Writes text at offset, cut at the frame's end; returns the offset behind what was written.
size_t WriteText(std::span<uint8_t> frame, size_t offset, std::string_view text);

}  // namespace ardvix::protocol
