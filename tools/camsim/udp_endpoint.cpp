#include "udp_endpoint.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace camsim {
namespace {

constexpr int kBufferBytes = 8 * 1024 * 1024;
constexpr size_t kLargestDatagram = 65536;

void SetBuffer(int fd, int force_option, int option) {
  // The forced variants pass the system limit when we are root; otherwise take what is allowed.
  if (setsockopt(fd, SOL_SOCKET, force_option, &kBufferBytes, sizeof kBufferBytes) != 0) {
    setsockopt(fd, SOL_SOCKET, option, &kBufferBytes, sizeof kBufferBytes);
  }
}

}  // namespace

UdpEndpoint::~UdpEndpoint() {
  if (fd_ >= 0) close(fd_);
}

std::optional<std::string> UdpEndpoint::Open(uint16_t port) {
  fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) return std::string("cannot create a UDP socket: ") + std::strerror(errno);
  const int on = 1;
  setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  if (setsockopt(fd_, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0) {
    return std::string("cannot enable IP_PKTINFO: ") + std::strerror(errno);
  }
  SetBuffer(fd_, SO_RCVBUFFORCE, SO_RCVBUF);
  SetBuffer(fd_, SO_SNDBUFFORCE, SO_SNDBUF);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    return "cannot bind UDP port " + std::to_string(port) + ": " + std::strerror(errno);
  }
  return std::nullopt;
}

std::optional<Request> UdpEndpoint::Receive(size_t& truncated_length) {
  truncated_length = 0;
  std::vector<uint8_t> buffer(kLargestDatagram);
  sockaddr_in source{};
  iovec io{buffer.data(), buffer.size()};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
  msghdr message{};
  message.msg_name = &source;
  message.msg_namelen = sizeof source;
  message.msg_iov = &io;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  // MSG_TRUNC makes the result the datagram's real length.
  const ssize_t length = recvmsg(fd_, &message, MSG_DONTWAIT | MSG_TRUNC);
  if (length < 0) return std::nullopt;
  if (static_cast<size_t>(length) > buffer.size()) truncated_length = static_cast<size_t>(length);
  buffer.resize(std::min(static_cast<size_t>(length), buffer.size()));

  Request request;
  request.source_ip = ntohl(source.sin_addr.s_addr);
  request.source_port = ntohs(source.sin_port);
  for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
    if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
      in_pktinfo info;
      std::memcpy(&info, CMSG_DATA(c), sizeof info);
      request.destination_ip = ntohl(info.ipi_addr.s_addr);
    }
  }
  request.datagram = std::move(buffer);
  return request;
}

int UdpEndpoint::Send(uint32_t source_ip, uint32_t destination_ip, uint16_t destination_port,
                      std::span<const uint8_t> datagram) {
  sockaddr_in destination{};
  destination.sin_family = AF_INET;
  destination.sin_port = htons(destination_port);
  destination.sin_addr.s_addr = htonl(destination_ip);
  iovec io{const_cast<uint8_t*>(datagram.data()), datagram.size()};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
  msghdr message{};
  message.msg_name = &destination;
  message.msg_namelen = sizeof destination;
  message.msg_iov = &io;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  cmsghdr* c = CMSG_FIRSTHDR(&message);
  c->cmsg_level = IPPROTO_IP;
  c->cmsg_type = IP_PKTINFO;
  c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
  in_pktinfo info{};
  info.ipi_spec_dst.s_addr = htonl(source_ip);
  std::memcpy(CMSG_DATA(c), &info, sizeof info);
  return sendmsg(fd_, &message, 0) < 0 ? errno : 0;
}

}  // namespace camsim
