// The credential channel: reads the device's plain-text answer to a password confirmation
// itself and reports "OK", "NO" or anything else as three distinct notifications.
#pragma once

#include <string>

#include "protocol/channel_socket.h"

namespace ardvix::protocol {

class CAuthSocket : public ChannelSocket {
 public:
  using ChannelSocket::ChannelSocket;
  const std::string& last_answer() const { return last_answer_; }

  // The notification an answer text gives.
  static uint32_t NotificationFor(const std::string& answer);

 protected:
  void OnReceive() override;
  uint32_t notification() const override;

 private:
  std::string last_answer_;
};

}  // namespace ardvix::protocol
