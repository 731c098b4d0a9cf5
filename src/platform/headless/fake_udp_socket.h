// A UDP socket of the FakeUdpNetwork. Its state (port, queue, broadcast option) lives in
// the network, so a test can reach it by port; the socket keeps only its callback.
// Threads: UI thread only, like every UdpSocket.
#pragma once

#include <functional>

#include "platform/headless/fake_udp_network.h"
#include "platform/udp_socket.h"

namespace ardvix::headless {

class FakeUdpSocket : public platform::UdpSocket {
 public:
  explicit FakeUdpSocket(FakeUdpNetwork& network) : network_(network) {}
  ~FakeUdpSocket() override;
  FakeUdpSocket(const FakeUdpSocket&) = delete;
  FakeUdpSocket& operator=(const FakeUdpSocket&) = delete;

  bool Open() override;  // a new local port each time
  void Close() override;
  bool IsOpen() const override { return port_ != 0; }
  uint16_t LocalPort() const override { return port_; }
  bool SetBroadcast(int on) override;
  // Fails (-1) on a closed socket, and, as the real socket does, to 255.255.255.255 while
  // broadcasting is off. Every call is recorded, failed or not.
  int SendTo(std::span<const uint8_t> frame, const std::string& address, uint16_t port) override;
  platform::ReceiveResult Receive(std::span<uint8_t> buffer) override;
  // Sleeps on the network's clock; datagrams delivered meanwhile simply wait in the network.
  void WaitDraining(uint32_t ms) override { network_.WaitDraining(ms); }
  void SetReadableCallback(std::function<void()> on_readable) override;

  const std::function<void()>& readable_callback() const { return on_readable_; }

 private:
  FakeUdpNetwork& network_;
  uint16_t port_ = 0;
  std::function<void()> on_readable_;
};

}  // namespace ardvix::headless
