#include "protocol/failed_receive.h"

#include "protocol/answer_datagram.h"

namespace ardvix::protocol {

const FailedReceiveMessages& DiscoveryReceiveMessages() {
  static const FailedReceiveMessages m{
      "Socket error when receiving packets.. restart broadcasting~!", "OnBroadReceive error: %d"};
  return m;
}

const FailedReceiveMessages& IpChangeReceiveMessages() {
  static const FailedReceiveMessages m{"Receive Socket error when receiving packet.. ~!",
                                       "IP Change Receive error: %d"};
  return m;
}

const FailedReceiveMessages& VideoSetReceiveMessages() {
  static const FailedReceiveMessages m{
      "Chandge Voideo set Socket error when receiving packets.. restart broadcasting~!",
      "OnVideoSet error: %d"};
  return m;
}

std::string FormatErrorMessage(const std::string& error_template, int code) {
  const auto at = error_template.find("%d");
  if (at == std::string::npos) return error_template;
  return error_template.substr(0, at) + std::to_string(code) + error_template.substr(at + 2);
}

void HandleFailedReceive(const platform::ReceiveResult& result, std::span<const uint8_t> received,
                         const FailedReceiveMessages& messages, ChannelSocket& channel,
                         OperatorOutput& out) {
  // Everything the boxes need is taken before the first box: its nested loop may run other
  // handlers that reuse the receive buffer.
  const platform::ReceiveError error = result.error;
  const int code = result.error_code;
  const std::string received_text = error == platform::ReceiveError::kTruncated
                                        ? TextUpToZero(received, 0, received.size())
                                        : std::string();
  out.ShowMessage(messages.first);
  switch (error) {
    case platform::ReceiveError::kWouldBlock:
    case platform::ReceiveError::kNone:
      break;
    case platform::ReceiveError::kTruncated:
      out.ShowMessage(kTooLargeMessage);
      out.AppendLine(received_text);
      break;
    case platform::ReceiveError::kOther:
      out.ShowMessage(FormatErrorMessage(messages.error_template, code));
      break;
  }
  channel.Close();
}

}  // namespace ardvix::protocol
