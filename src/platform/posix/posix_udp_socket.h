// A non-blocking IPv4 UDP socket of the kernel, watched for readability through the
// event loop's ReadinessWatcher. UI thread only, like every UdpSocket.
#pragma once

#include <netinet/in.h>

#include <functional>
#include <memory>
#include <optional>

#include "platform/readiness_watcher.h"
#include "platform/udp_socket.h"

namespace ardvix::platform {

class PosixUdpSocket : public UdpSocket {
 public:
  // Receive buffer asked for at open: room for a burst of answers from many devices.
  static constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

  explicit PosixUdpSocket(ReadinessWatcher& watcher);
  ~PosixUdpSocket() override;
  PosixUdpSocket(const PosixUdpSocket&) = delete;
  PosixUdpSocket& operator=(const PosixUdpSocket&) = delete;

  bool Open() override;
  void Close() override;
  bool IsOpen() const override { return fd_ >= 0; }
  uint16_t LocalPort() const override;

  bool SetBroadcast(int on) override;
  int SendTo(std::span<const uint8_t> frame, const std::string& address, uint16_t port) override;
  ReceiveResult Receive(std::span<uint8_t> buffer) override;

  void SetReadableCallback(std::function<void()> on_readable) override;

  int fd() const { return fd_; }

 private:
  void AskForReceiveBuffer();
  // The socket is watched only while it is open and someone listens: a level-triggered
  // watch with nobody reading would make the event loop spin.
  void UpdateWatch();
  void DispatchReadable();
  int SendPlain(std::span<const uint8_t> frame, const sockaddr_in& destination);
  int SendOutOfEveryInterface(std::span<const uint8_t> frame, const sockaddr_in& destination);

  ReadinessWatcher& watcher_;
  int fd_ = -1;
  std::optional<ReadinessWatcher::WatchId> watch_;
  std::function<void()> on_readable_;
};

class PosixUdpSocketFactory : public UdpSocketFactory {
 public:
  // The watcher is not owned and outlives every socket made here.
  explicit PosixUdpSocketFactory(ReadinessWatcher& watcher) : watcher_(watcher) {}
  std::unique_ptr<UdpSocket> CreateUdpSocket() override;

 private:
  ReadinessWatcher& watcher_;
};

}  // namespace ardvix::platform
