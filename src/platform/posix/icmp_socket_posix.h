// ICMP echo sockets on Linux: a raw socket when the process may open one, otherwise the
// unprivileged ICMP datagram socket (see platform/icmp_socket.h for the errno rules).
#pragma once

#include "platform/icmp_socket.h"

namespace ardvix::platform {

enum class IcmpSocketChoice {
  kRawThenDatagram,  // what the program uses
  kRawOnly,
  kDatagramOnly,  // lets tests drive the datagram path while running as root
};

class PosixIcmpSocketFactory : public IcmpSocketFactory {
 public:
  explicit PosixIcmpSocketFactory(IcmpSocketChoice choice = IcmpSocketChoice::kRawThenDatagram)
      : choice_(choice) {}
  IcmpOpenResult Open() override;

 private:
  IcmpSocketChoice choice_;
};

}  // namespace ardvix::platform
