// The one UDP socket that all simulated devices share: bound to 0.0.0.0:7005 so that it
// receives broadcasts (a socket bound to a device's own address would not), reading each
// datagram's destination address with IP_PKTINFO and sending every answer from the
// answering device's address by setting ipi_spec_dst. One socket serves any number of
// devices, which keeps a 1000-device burst to one send loop.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "responder.h"

namespace camsim {

class UdpEndpoint {
 public:
  UdpEndpoint() = default;
  ~UdpEndpoint();
  UdpEndpoint(const UdpEndpoint&) = delete;
  UdpEndpoint& operator=(const UdpEndpoint&) = delete;

  // Binds 0.0.0.0:port; on failure returns a message for the operator.
  std::optional<std::string> Open(uint16_t port);
  int fd() const { return fd_; }

  // Receives one waiting datagram without blocking; nullopt when none is waiting or the
  // receive failed. truncated_length is the datagram's real length when it exceeded the
  // buffer, else 0.
  std::optional<Request> Receive(size_t& truncated_length);

  // Sends from source_ip (host order); returns 0 or the errno of the failure.
  int Send(uint32_t source_ip, uint32_t destination_ip, uint16_t destination_port,
           std::span<const uint8_t> datagram);

 private:
  int fd_ = -1;
};

}  // namespace camsim
