// Everything a flow test needs in one object: a virtual clock, the headless backend, the fake
// network, command interpreter and host information, and the Services that point at them.
//   HeadlessEnvironment env;
//   SomeDialog dialog(env.services);
#pragma once

#include "platform/headless/fake_command_interpreter.h"
#include "platform/headless/fake_host_info.h"
#include "platform/headless/fake_udp_network.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/virtual_clock.h"
#include "platform/services.h"

namespace ardvix::headless {

struct HeadlessEnvironment {
  // Declared in dependency order, so they are destroyed users first.
  VirtualClock clock;
  FakeUdpNetwork network{40000, &clock};
  HeadlessBackend backend{clock, &network};
  FakeCommandInterpreter shell;
  FakeHostInfo host;
  platform::Services services{&backend, &network, &clock, &shell, &host};
};

}  // namespace ardvix::headless
