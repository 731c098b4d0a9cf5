// The services a window of the system is built on. Everything here is injected: the real
// program passes the Qt backend and the posix services, flow tests pass the headless
// backend and fakes. The pointers are not owned and outlive every window.
#pragma once

#include "platform/clock.h"
#include "platform/command_interpreter.h"
#include "platform/host_info.h"
#include "platform/udp_socket.h"
#include "platform/window.h"

namespace ardvix::platform {

struct Services {
  UiBackend* ui = nullptr;
  UdpSocketFactory* udp = nullptr;
  Clock* clock = nullptr;
  CommandInterpreter* shell = nullptr;
  HostInfo* host = nullptr;
};

}  // namespace ardvix::platform
