// A non-blocking IPv4 UDP socket of the kernel, watched for readability through the
// event loop's ReadinessWatcher. UI thread only, like every UdpSocket.
#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/readiness_watcher.h"
#include "platform/udp_socket.h"

namespace ardvix::platform {

class PosixUdpSocket : public UdpSocket {
 public:
  // Receive buffer asked for at open: room for a burst of answers from many devices.
  static constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;
  // What WaitDraining keeps at most (payload bytes); past it datagrams stay in the kernel.
  static constexpr size_t kDrainedBytesLimit = 16 * 1024 * 1024;

  // receive_buffer_bytes: what Open asks of SO_RCVBUF. The default also forces it past
  // net.core.rmem_max where the process may; any other value is asked for plainly, so a
  // test can stand in for a system that grants only its stock size.
  explicit PosixUdpSocket(ReadinessWatcher& watcher,
                          int receive_buffer_bytes = kReceiveBufferBytes);
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
  void WaitDraining(uint32_t ms) override;

  void SetReadableCallback(std::function<void()> on_readable) override;

  int fd() const { return fd_; }
  size_t kept() const { return kept_.size(); }  // datagrams kept by WaitDraining

 private:
  // One datagram (or receive failure) taken from the kernel during WaitDraining.
  struct KeptDatagram {
    std::vector<uint8_t> bytes;
    sockaddr_in source{};
    int error_code = 0;  // a failure the kernel reported instead of a datagram
  };

  void AskForReceiveBuffer();
  // Moves every waiting datagram into kept_; false once a failure or the limit stopped it.
  bool DrainKernelQueue();
  ReceiveResult TakeKept(std::span<uint8_t> buffer);
  // kept_ is announced to the event loop through an eventfd that is readable while kept_
  // holds anything: the socket's own descriptor is no longer readable for those datagrams.
  void UpdateKeptSignal();
  // The socket is watched only while it is open and someone listens: a level-triggered
  // watch with nobody reading would make the event loop spin.
  void UpdateWatch();
  void DispatchReadable();
  int SendPlain(std::span<const uint8_t> frame, const sockaddr_in& destination);
  int SendOutOfEveryInterface(std::span<const uint8_t> frame, const sockaddr_in& destination);

  ReadinessWatcher& watcher_;
  const int receive_buffer_bytes_;
  int fd_ = -1;
  std::optional<ReadinessWatcher::WatchId> watch_;
  std::function<void()> on_readable_;
  std::deque<KeptDatagram> kept_;
  size_t kept_bytes_ = 0;
  int kept_signal_fd_ = -1;  // eventfd, created on first use
  std::optional<ReadinessWatcher::WatchId> kept_watch_;
};

class PosixUdpSocketFactory : public UdpSocketFactory {
 public:
  // The watcher is not owned and outlives every socket made here.
  explicit PosixUdpSocketFactory(ReadinessWatcher& watcher,
                                 int receive_buffer_bytes = PosixUdpSocket::kReceiveBufferBytes)
      : watcher_(watcher), receive_buffer_bytes_(receive_buffer_bytes) {}
  std::unique_ptr<UdpSocket> CreateUdpSocket() override;

 private:
  ReadinessWatcher& watcher_;
  int receive_buffer_bytes_;
};

}  // namespace ardvix::platform
