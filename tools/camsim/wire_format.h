// Byte layouts of the device protocol as a device sees them: request fields in, answer
// datagrams out. Requests are read with bounds checks; bytes past the end read as zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device.h"

namespace camsim {

inline constexpr uint16_t kDevicePort = 7005;
inline constexpr size_t kAnswerLength = 300;
inline constexpr size_t kCodeOffset = 99;
inline constexpr size_t kEchoOffset = 100;
inline constexpr size_t kEchoWidth = 40;

inline constexpr uint8_t kCodeAnnouncement = 0xFF;
inline constexpr uint8_t kCodeStaticApplied = 0xFA;
inline constexpr uint8_t kCodeDhcpApplied = 0xFC;
inline constexpr uint8_t kCodeVideoApplied = 0xFC;
inline constexpr uint8_t kCodeVideoBadPassword = 0xFD;

// The 9-letter command word at bytes 0-8, or "" when those bytes are not lower-case letters.
std::string CommandWord(const std::vector<uint8_t>& datagram);

// The text from offset up to the first zero byte, the end of the datagram or max bytes.
std::string TextAt(const std::vector<uint8_t>& datagram, size_t offset, size_t max);

// Whether the request names this MAC: "MAC" at byte 9, then the MAC text, letters in any case.
bool NamesMac(const std::vector<uint8_t>& datagram, std::string_view mac);

// A 300-byte answer carrying the device's announcement fields (MAC at 0, gateway at 19,
// mask at 34, boot protocol at 50, ID at 60, web port at 140; each cut to its width), the
// code at 99 and the echo at 100. Every answer a device sends in this layout carries the
// same fields; only the announcement's are read by the PC.
std::vector<uint8_t> BuildAnswer(const Device& device, uint8_t code, std::string_view echo);

}  // namespace camsim
