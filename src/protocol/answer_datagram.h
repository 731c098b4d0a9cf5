// The 300-byte answer layout of the discovery, network-settings and video-settings channels:
// answer code at byte 99, the requester text echoed from byte 100, and for the device
// announcement (code 0xFF) the device's settings as fixed-width text fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "protocol/device_record.h"

namespace ardvix::protocol {

inline constexpr size_t kAnswerCodeOffset = 99;
inline constexpr size_t kEchoOffset = 100;

inline constexpr uint8_t kCodeAnnouncement = 0xFF;
inline constexpr uint8_t kCodeAddressSet = 0xFA;
inline constexpr uint8_t kCodeDynamicOrVideoDone = 0xFC;
inline constexpr uint8_t kCodeWrongPassword = 0xFD;
inline constexpr uint8_t kCodeDeviceError = 0xFE;

// The bytes from offset up to the first zero byte or up to offset+width, whichever is first.
// Never reads past the buffer.
std::string TextUpToZero(std::span<const uint8_t> buffer, size_t offset, size_t width);

// The answer code when byte 99 is one of `codes` and the bytes from 100 equal the local
// address text over its length; nullopt when the answer is not for this PC.
std::optional<uint8_t> MatchAnswer(std::span<const uint8_t> buffer, std::string_view local_text,
                                   std::initializer_list<uint8_t> codes);

// Parses an accepted announcement; the IP address is the datagram's source.
DeviceRecord ParseAnnouncement(std::span<const uint8_t> buffer, const std::string& source_address);

}  // namespace ardvix::protocol
