// "Ping": flushes the ARP cache, then runs the system's ping on the address in the
// "IP Address" field and shows its output. UI thread; blocks while the command runs.
#pragma once

#include <string>

#include "platform/command_interpreter.h"
#include "platform/window.h"
#include "protocol/operator_output.h"

namespace ardvix::nettools {

// Four echo requests: the system's ping would otherwise never end.
inline constexpr const char* kPingCommandFormat = "ping -c 4 %d.%d.%d.%d";

class PingCommand {
 public:
  PingCommand(platform::Window& window, protocol::OperatorOutput& out,
              platform::CommandInterpreter& shell)
      : window_(window), out_(out), shell_(shell) {}

  void Run();

 private:
  platform::Window& window_;
  protocol::OperatorOutput& out_;
  platform::CommandInterpreter& shell_;
  std::string command_text_;
};

}  // namespace ardvix::nettools
