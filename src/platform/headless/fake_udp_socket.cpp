#include "platform/headless/fake_udp_socket.h"

#include <cerrno>
#include <utility>
#include <vector>

namespace ardvix::headless {

FakeUdpSocket::~FakeUdpSocket() { Close(); }

bool FakeUdpSocket::Open() {
  Close();
  port_ = network_.Bind(this);
  return true;
}

void FakeUdpSocket::Close() {
  if (port_ == 0) return;
  network_.Unbind(port_);
  port_ = 0;
}

bool FakeUdpSocket::SetBroadcast(int on) {
  if (port_ == 0) return false;
  return network_.SetBroadcast(port_, on);
}

int FakeUdpSocket::SendTo(std::span<const uint8_t> frame, const std::string& address,
                          uint16_t port) {
  return network_.SendTo(port_, std::vector<uint8_t>(frame.begin(), frame.end()), address, port);
}

platform::ReceiveResult FakeUdpSocket::Receive(std::span<uint8_t> buffer) {
  if (port_ == 0) {
    platform::ReceiveResult closed;
    closed.error = platform::ReceiveError::kOther;
    closed.error_code = EBADF;
    return closed;
  }
  return network_.Receive(port_, buffer);
}

void FakeUdpSocket::SetReadableCallback(std::function<void()> on_readable) {
  on_readable_ = std::move(on_readable);
}

}  // namespace ardvix::headless
