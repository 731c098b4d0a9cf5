#include "platform/posix/icmp_socket_posix.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace ardvix::platform {
namespace {

// The clock of SO_TIMESTAMP, so that send and arrival times can be subtracted.
int64_t RealtimeUs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return int64_t{now.tv_sec} * 1000000 + now.tv_nsec / 1000;
}

constexpr size_t kSynthesizedHeaderBytes = 20;

class PosixIcmpSocket : public IcmpSocket {
 public:
  PosixIcmpSocket(int fd, int wake_fd, IcmpSocketKind kind)
      : fd_(fd), wake_fd_(wake_fd), kind_(kind) {}
  ~PosixIcmpSocket() override { Close(); }

  IcmpSocketKind kind() const override { return kind_; }

  IcmpSendResult SendTo(std::span<const uint8_t> message, uint32_t destination) override {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(destination);
    IcmpSendResult result;
    result.sent_at_us = RealtimeUs();
    const ssize_t sent = sendto(fd_, message.data(), message.size(), 0,
                                reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (sent < 0) {
      result.error_code = errno;
      return result;
    }
    result.bytes = static_cast<int>(sent);
    return result;
  }

  IcmpWaitResult WaitReadable(uint32_t timeout_ms, StopEvent& stop) override {
    // The hook makes the eventfd readable, which ends the poll below from any thread.
    const int hook = stop.AddWakeHook([fd = wake_fd_] {
      const uint64_t one = 1;
      [[maybe_unused]] const ssize_t ignored = write(fd, &one, sizeof one);
    });
    IcmpWaitResult result;
    if (stop.IsSignalled()) {
      result.state = IcmpWaitState::kStopped;
    } else {
      pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
      int ready;
      do {
        ready = poll(fds, 2, static_cast<int>(std::min<uint32_t>(timeout_ms, INT32_MAX)));
      } while (ready < 0 && errno == EINTR);  // a signal is no reason to give up the wait
      if (ready < 0) {
        result.error_code = errno;
      } else if (fds[1].revents != 0 || stop.IsSignalled()) {
        result.state = IcmpWaitState::kStopped;
      } else if (ready == 0) {
        result.state = IcmpWaitState::kTimedOut;
      } else {
        result.state = IcmpWaitState::kReadable;
      }
    }
    stop.RemoveWakeHook(hook);
    return result;
  }

  IcmpReceiveResult Receive(std::span<uint8_t> buffer) override {
    const bool synthesize = kind_ == IcmpSocketKind::kDatagram;
    const size_t header = synthesize ? std::min(kSynthesizedHeaderBytes, buffer.size()) : 0;
    sockaddr_in from{};
    iovec iov{buffer.data() + header, buffer.size() - header};
    alignas(cmsghdr) uint8_t control[256];
    msghdr msg{};
    msg.msg_name = &from;
    msg.msg_namelen = sizeof from;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;

    IcmpReceiveResult result;
    ssize_t got;
    do {
      got = recvmsg(fd_, &msg, MSG_DONTWAIT);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
      result.error_code = errno;
      return result;
    }
    result.source = ntohl(from.sin_addr.s_addr);
    result.arrival_us = RealtimeUs();
    int ttl = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
      if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SO_TIMESTAMP) {
        timeval at{};
        std::memcpy(&at, CMSG_DATA(c), sizeof at);
        result.arrival_us = int64_t{at.tv_sec} * 1000000 + at.tv_usec;
      } else if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_TTL) {
        std::memcpy(&ttl, CMSG_DATA(c), sizeof ttl);
      }
    }
    const size_t stored = std::min(static_cast<size_t>(got), iov.iov_len);
    if (synthesize && header == kSynthesizedHeaderBytes) {
      WriteIpv4Header(buffer.first(header), header + stored, ttl, result.source);
    }
    result.bytes = static_cast<int>(header + stored);
    return result;
  }

  int Close() override {
    int error = 0;
    if (fd_ >= 0 && close(fd_) != 0) error = errno;
    fd_ = -1;
    if (wake_fd_ >= 0) close(wake_fd_);
    wake_fd_ = -1;
    return error;
  }

 private:
  // The header a raw socket would have delivered, so the engine reads one layout.
  static void WriteIpv4Header(std::span<uint8_t> h, size_t total, int ttl, uint32_t source) {
    std::fill(h.begin(), h.end(), uint8_t{0});
    h[0] = 0x45;  // version 4, 5 words
    h[2] = static_cast<uint8_t>(total >> 8);
    h[3] = static_cast<uint8_t>(total);
    h[8] = static_cast<uint8_t>(ttl);
    h[9] = IPPROTO_ICMP;
    h[12] = static_cast<uint8_t>(source >> 24);
    h[13] = static_cast<uint8_t>(source >> 16);
    h[14] = static_cast<uint8_t>(source >> 8);
    h[15] = static_cast<uint8_t>(source);
  }

  int fd_;
  int wake_fd_;
  IcmpSocketKind kind_;
};

int OpenSocket(int type) {
  const int fd = socket(AF_INET, type | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (fd < 0) return -errno;
  return fd;
}

}  // namespace

IcmpOpenResult PosixIcmpSocketFactory::Open() {
  IcmpOpenResult result;
  int fd = -EPERM;
  IcmpSocketKind kind = IcmpSocketKind::kRaw;
  if (choice_ != IcmpSocketChoice::kDatagramOnly) fd = OpenSocket(SOCK_RAW);
  const int raw_error = fd < 0 ? -fd : 0;
  const bool lacks_privilege = raw_error == EPERM || raw_error == EACCES;
  if (fd < 0 && lacks_privilege && choice_ != IcmpSocketChoice::kRawOnly) {
    fd = OpenSocket(SOCK_DGRAM);
    kind = IcmpSocketKind::kDatagram;
    if (fd < 0 && choice_ == IcmpSocketChoice::kDatagramOnly) {
      result.error_code = -fd;
      return result;
    }
  }
  if (fd < 0) {
    result.error_code = raw_error;
    return result;
  }
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_TIMESTAMP, &on, sizeof on);
  if (kind == IcmpSocketKind::kDatagram) setsockopt(fd, IPPROTO_IP, IP_RECVTTL, &on, sizeof on);
  const int wake_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_fd < 0) {
    result.error_code = errno;
    close(fd);
    return result;
  }
  result.socket = std::make_unique<PosixIcmpSocket>(fd, wake_fd, kind);
  return result;
}

}  // namespace ardvix::platform
