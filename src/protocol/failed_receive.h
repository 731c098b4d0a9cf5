// The one procedure for a receive that failed on the discovery, network-settings or
// video-settings channel.
#pragma once

#include <span>
#include <string>

#include "platform/udp_socket.h"
#include "protocol/channel_socket.h"
#include "protocol/operator_output.h"

namespace ardvix::protocol {

struct FailedReceiveMessages {
  std::string first;           // shown for every failure
  std::string error_template;  // "...: %d", shown for errors other than would-block/too large
};

inline constexpr const char* kTooLargeMessage = "The datagram was too large and was truncated";

const FailedReceiveMessages& DiscoveryReceiveMessages();
const FailedReceiveMessages& IpChangeReceiveMessages();
const FailedReceiveMessages& VideoSetReceiveMessages();

// Shows the first message, then what the error calls for, and closes the channel.
// `received` is the buffer as the failed receive left it: for a datagram that was too large
// it holds its start, which goes to the log.
void HandleFailedReceive(const platform::ReceiveResult& result, std::span<const uint8_t> received,
                         const FailedReceiveMessages& messages, ChannelSocket& channel,
                         OperatorOutput& out);

// "%d" in the template replaced by the number.
std::string FormatErrorMessage(const std::string& error_template, int code);

}  // namespace ardvix::protocol
