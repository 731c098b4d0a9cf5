// A channel: one UDP socket for one kind of request, its needs-create flag and the window
// it reports to. A set flag means the next send creates a new socket (with a new local
// port); answers still on their way to the old port are then lost, as intended.
//
// Threads: UI thread only. The readable callback runs from the event loop; closing the
// channel from inside it is safe (the platform socket object lives as long as the channel).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/udp_socket.h"
#include "platform/window.h"

namespace ardvix::protocol {

class ChannelSocket {
 public:
  explicit ChannelSocket(platform::UdpSocketFactory& factory);
  virtual ~ChannelSocket();  // closes the socket if it is open
  ChannelSocket(const ChannelSocket&) = delete;
  ChannelSocket& operator=(const ChannelSocket&) = delete;

  void SetOwner(std::shared_ptr<platform::NotificationTarget> owner) { owner_ = std::move(owner); }

  // If the needs-create flag is set: closes a socket the channel may still hold, creates a
  // new one and clears the flag (also when the creation failed).
  void OpenIfNeeded();
  // Opens if needed, enables broadcasting (every time) and sends the whole frame to
  // 255.255.255.255:7005. The result is not examined: a failure shows up as no answer.
  void SendCommand(std::span<const uint8_t> frame);
  platform::ReceiveResult Receive(std::span<uint8_t> buffer);
  // Blocks the thread for ms, keeping what arrives meanwhile for later receives (see
  // UdpSocket::WaitDraining). A plain sleep while the channel has no socket.
  void WaitDraining(uint32_t ms) { socket_->WaitDraining(ms); }
  // Closes the socket (if open) and sets the needs-create flag.
  void Close();
  // Sets the flag but keeps the socket: it still receives until the next send replaces it.
  void MarkNeedsCreate() { needs_create_ = 1; }

  int needs_create() const { return needs_create_; }
  bool is_open() const { return socket_->IsOpen(); }
  uint16_t local_port() const { return socket_->LocalPort(); }

 protected:
  // Called while a datagram waits. The default reports the channel's notification.
  virtual void OnReceive();
  virtual uint32_t notification() const = 0;
  void Report(uint32_t code);

 private:
  std::unique_ptr<platform::UdpSocket> socket_;
  std::shared_ptr<platform::NotificationTarget> owner_;
  int needs_create_ = 1;
};

// The discovery channel (main window) and the find-by-MAC dialog's channel.
class CBroadcastSocket : public ChannelSocket {
 public:
  using ChannelSocket::ChannelSocket;

 protected:
  uint32_t notification() const override;
};

class CIpChangeSocket : public ChannelSocket {
 public:
  using ChannelSocket::ChannelSocket;

 protected:
  uint32_t notification() const override;
};

class CVideoSetSocket : public ChannelSocket {
 public:
  using ChannelSocket::ChannelSocket;

 protected:
  uint32_t notification() const override;
};

}  // namespace ardvix::protocol
