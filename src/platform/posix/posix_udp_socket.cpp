#include "platform/posix/posix_udp_socket.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <set>
#include <thread>

#include "platform/posix/ipv4_interfaces.h"

namespace ardvix::platform {

namespace {

// Room for the largest UDP payload over IPv4, so a kept datagram is never cut.
constexpr size_t kLargestDatagram = 65536;

void SetSource(ReceiveResult& result, const sockaddr_in& source) {
  char dotted[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &source.sin_addr, dotted, sizeof dotted);
  result.source_address = dotted;
  result.source_port = ntohs(source.sin_port);
}

}  // namespace

PosixUdpSocket::PosixUdpSocket(ReadinessWatcher& watcher, int receive_buffer_bytes)
    : watcher_(watcher), receive_buffer_bytes_(receive_buffer_bytes) {}

PosixUdpSocket::~PosixUdpSocket() {
  Close();
  if (kept_signal_fd_ >= 0) close(kept_signal_fd_);
}

bool PosixUdpSocket::Open() {
  Close();
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_in any{};
  any.sin_family = AF_INET;
  any.sin_addr.s_addr = htonl(INADDR_ANY);
  any.sin_port = 0;
  if (bind(fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
    const int saved = errno;
    close(fd);
    errno = saved;
    return false;
  }
  fd_ = fd;
  AskForReceiveBuffer();
  UpdateWatch();
  return true;
}

void PosixUdpSocket::AskForReceiveBuffer() {
  int asked = receive_buffer_bytes_;
  setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &asked, sizeof asked);
  if (receive_buffer_bytes_ != kReceiveBufferBytes) return;
  // The kernel doubles what it grants (bookkeeping overhead) and caps SO_RCVBUF at
  // net.core.rmem_max; only a privileged process may go past that cap with
  // SO_RCVBUFFORCE. Without the privilege that call fails with EPERM and the capped size
  // stays, which is fine.
  int granted = 0;
  socklen_t length = sizeof granted;
  if (getsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &granted, &length) == 0 &&
      granted < 2 * kReceiveBufferBytes) {
    setsockopt(fd_, SOL_SOCKET, SO_RCVBUFFORCE, &asked, sizeof asked);
  }
}

void PosixUdpSocket::Close() {
  if (watch_) {
    watcher_.Unwatch(*watch_);
    watch_.reset();
  }
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
  // What was kept belonged to this socket: a reopened one starts empty, as the kernel's does.
  kept_.clear();
  kept_bytes_ = 0;
  UpdateKeptSignal();
}

uint16_t PosixUdpSocket::LocalPort() const {
  if (fd_ < 0) return 0;
  sockaddr_in local{};
  socklen_t length = sizeof local;
  if (getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
  return ntohs(local.sin_port);
}

bool PosixUdpSocket::SetBroadcast(int on) {
  if (fd_ < 0) return false;
  return setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0;
}

int PosixUdpSocket::SendTo(std::span<const uint8_t> frame, const std::string& address,
                           uint16_t port) {
  if (fd_ < 0) {
    errno = EBADF;
    return -1;
  }
  sockaddr_in destination{};
  destination.sin_family = AF_INET;
  destination.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &destination.sin_addr) != 1) {
    errno = EINVAL;
    return -1;
  }
  if (destination.sin_addr.s_addr == htonl(INADDR_BROADCAST)) {
    return SendOutOfEveryInterface(frame, destination);
  }
  return SendPlain(frame, destination);
}

int PosixUdpSocket::SendPlain(std::span<const uint8_t> frame, const sockaddr_in& destination) {
  const ssize_t sent = sendto(fd_, frame.data(), frame.size(), 0,
                              reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
  return sent < 0 ? -1 : static_cast<int>(sent);
}

// A plain sendto(255.255.255.255) leaves only through the interface of the default route,
// and fails with ENETUNREACH when there is none: the usual case of a laptop with a static
// address on the cameras' switch. So the datagram leaves once through each up,
// broadcast-capable interface, chosen per datagram with IP_PKTINFO (no privilege needed).
// The source address is that interface's own, and every answer comes back to this socket.
int PosixUdpSocket::SendOutOfEveryInterface(std::span<const uint8_t> frame,
                                            const sockaddr_in& destination) {
  std::set<int> used_indexes;  // an interface with several addresses is used once
  bool any_interface = false;
  bool any_sent = false;
  int last_error = 0;
  for (const InterfaceInfo& nic : ListIpv4Interfaces()) {
    if (!nic.up || nic.loopback || !nic.broadcast || nic.index <= 0) continue;
    if (!used_indexes.insert(nic.index).second) continue;
    any_interface = true;

    iovec payload{const_cast<uint8_t*>(frame.data()), frame.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = const_cast<sockaddr_in*>(&destination);
    message.msg_namelen = sizeof destination;
    message.msg_iov = &payload;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_ifindex = nic.index;
    info.ipi_spec_dst.s_addr = htonl(nic.address);
    std::memcpy(CMSG_DATA(header), &info, sizeof info);

    if (sendmsg(fd_, &message, 0) >= 0) {
      any_sent = true;
    } else {
      last_error = errno;
    }
  }
  if (!any_interface) return SendPlain(frame, destination);
  if (any_sent) return static_cast<int>(frame.size());
  errno = last_error;
  return -1;
}

ReceiveResult PosixUdpSocket::Receive(std::span<uint8_t> buffer) {
  ReceiveResult result;
  if (fd_ < 0) {
    result.error_code = EBADF;
    return result;
  }
  if (!kept_.empty()) return TakeKept(buffer);
  sockaddr_in source{};
  iovec storage{buffer.data(), buffer.size()};
  msghdr message{};
  message.msg_name = &source;
  message.msg_namelen = sizeof source;
  message.msg_iov = &storage;
  message.msg_iovlen = 1;

  ssize_t received;
  do {
    received = recvmsg(fd_, &message, MSG_DONTWAIT);
  } while (received < 0 && errno == EINTR);

  if (received < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      result.error = ReceiveError::kWouldBlock;
    } else {
      result.error = ReceiveError::kOther;
    }
    result.error_code = errno;
    return result;
  }
  result.bytes = static_cast<int>(received);
  result.error = (message.msg_flags & MSG_TRUNC) ? ReceiveError::kTruncated : ReceiveError::kNone;
  SetSource(result, source);
  return result;
}

ReceiveResult PosixUdpSocket::TakeKept(std::span<uint8_t> buffer) {
  ReceiveResult result;
  KeptDatagram kept = std::move(kept_.front());
  kept_.pop_front();
  kept_bytes_ -= kept.bytes.size();
  UpdateKeptSignal();
  if (kept.error_code != 0) {
    result.error = ReceiveError::kOther;
    result.error_code = kept.error_code;
    return result;
  }
  const size_t stored = std::min(kept.bytes.size(), buffer.size());
  std::copy_n(kept.bytes.begin(), stored, buffer.begin());
  result.bytes = static_cast<int>(stored);
  result.error = kept.bytes.size() > buffer.size() ? ReceiveError::kTruncated : ReceiveError::kNone;
  SetSource(result, kept.source);
  return result;
}

void PosixUdpSocket::WaitDraining(uint32_t ms) {
  using std::chrono::steady_clock;
  const steady_clock::time_point deadline = steady_clock::now() + std::chrono::milliseconds(ms);
  if (kept_signal_fd_ < 0) kept_signal_fd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  // Without the eventfd kept datagrams could not be announced: keep them in the kernel.
  bool draining = fd_ >= 0 && kept_signal_fd_ >= 0;
  for (;;) {
    const steady_clock::time_point now = steady_clock::now();
    if (now >= deadline) break;
    if (!draining) {
      std::this_thread::sleep_until(deadline);
      break;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
    pollfd readable{fd_, POLLIN, 0};
    const int ready = poll(&readable, 1, static_cast<int>(left));
    if (ready < 0 && errno != EINTR) {
      draining = false;
    } else if (ready > 0) {
      draining = DrainKernelQueue();
    }
  }
  UpdateKeptSignal();
}

bool PosixUdpSocket::DrainKernelQueue() {
  std::vector<uint8_t> scratch(kLargestDatagram);
  for (;;) {
    if (kept_bytes_ >= kDrainedBytesLimit) return false;
    KeptDatagram kept;
    iovec storage{scratch.data(), scratch.size()};
    msghdr message{};
    message.msg_name = &kept.source;
    message.msg_namelen = sizeof kept.source;
    message.msg_iov = &storage;
    message.msg_iovlen = 1;
    const ssize_t received = recvmsg(fd_, &message, MSG_DONTWAIT);
    if (received < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return true;
      // A failure is kept in its place in the order; the wait ends without draining more,
      // so a failure that repeats cannot spin.
      kept.error_code = errno;
      kept_.push_back(std::move(kept));
      return false;
    }
    kept.bytes.assign(scratch.begin(), scratch.begin() + received);
    kept_bytes_ += kept.bytes.size();
    kept_.push_back(std::move(kept));
  }
}

void PosixUdpSocket::UpdateKeptSignal() {
  const bool wanted =
      !kept_.empty() && fd_ >= 0 && static_cast<bool>(on_readable_) && kept_signal_fd_ >= 0;
  if (wanted && !kept_watch_) {
    const uint64_t one = 1;
    if (write(kept_signal_fd_, &one, sizeof one) != sizeof one) return;
    kept_watch_ = watcher_.Watch(kept_signal_fd_, [this] { DispatchReadable(); });
  } else if (!wanted && kept_watch_) {
    watcher_.Unwatch(*kept_watch_);
    kept_watch_.reset();
    uint64_t count = 0;
    if (read(kept_signal_fd_, &count, sizeof count) < 0) count = 0;  // resets the eventfd
  }
}

void PosixUdpSocket::SetReadableCallback(std::function<void()> on_readable) {
  on_readable_ = std::move(on_readable);
  UpdateWatch();
  UpdateKeptSignal();
}

void PosixUdpSocket::UpdateWatch() {
  const bool wanted = fd_ >= 0 && static_cast<bool>(on_readable_);
  if (wanted && !watch_) {
    watch_ = watcher_.Watch(fd_, [this] { DispatchReadable(); });
  } else if (!wanted && watch_) {
    watcher_.Unwatch(*watch_);
    watch_.reset();
  }
}

void PosixUdpSocket::DispatchReadable() {
  // The callback may close, reopen or destroy this socket, or replace the callback: it runs
  // from a copy, and nothing of this object is touched after it returns.
  const std::function<void()> callback = on_readable_;
  if (callback) callback();
}

std::unique_ptr<UdpSocket> PosixUdpSocketFactory::CreateUdpSocket() {
  return std::make_unique<PosixUdpSocket>(watcher_, receive_buffer_bytes_);
}

}  // namespace ardvix::platform
