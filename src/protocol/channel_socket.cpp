#include "protocol/channel_socket.h"

#include "protocol/command_datagram.h"
#include "protocol/notifications.h"

namespace ardvix::protocol {

ChannelSocket::ChannelSocket(platform::UdpSocketFactory& factory)
    : socket_(factory.CreateUdpSocket()) {
  socket_->SetReadableCallback([this] { OnReceive(); });
}

ChannelSocket::~ChannelSocket() { socket_->Close(); }

void ChannelSocket::OpenIfNeeded() {
  if (!needs_create_) return;
  socket_->Close();
  socket_->Open();
  needs_create_ = 0;
}

void ChannelSocket::SendCommand(std::span<const uint8_t> frame) {
  OpenIfNeeded();
  socket_->SetBroadcast(1);
  socket_->SendTo(frame, kBroadcastAddress, DEVICE_PORT);
}

platform::ReceiveResult ChannelSocket::Receive(std::span<uint8_t> buffer) {
  return socket_->Receive(buffer);
}

void ChannelSocket::Close() {
  socket_->Close();
  needs_create_ = 1;
}

void ChannelSocket::OnReceive() { Report(notification()); }

void ChannelSocket::Report(uint32_t code) {
  // Keep the owner alive across the handler, which may replace it.
  if (auto owner = owner_) owner->Send(platform::Notification{code, 0, 0, {}});
}

uint32_t CBroadcastSocket::notification() const { return WM_BROADCAST_RECEIVE; }
uint32_t CIpChangeSocket::notification() const { return WM_IPCHANGE_RECEIVE; }
uint32_t CVideoSetSocket::notification() const { return WM_VIDEOSET_RECEIVE; }

}  // namespace ardvix::protocol
