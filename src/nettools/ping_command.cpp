#include "nettools/ping_command.h"

#include <cstdio>

#include "window/control_ids.h"

namespace ardvix::nettools {

void PingCommand::Run() {
  shell_.Run(platform::kArpFlushCommand);
  const platform::IpAddressParts p = window_.GetIpAddress(window::IDC_IP_ADDRESS);
  if (p.filled != 4) {
    out_.ShowMessage("Incorrect network configuration");
    return;
  }
  char text[48];
  std::snprintf(text, sizeof text, kPingCommandFormat, p.part[0], p.part[1], p.part[2], p.part[3]);
  command_text_ = text;
  const platform::CommandResult result = shell_.Run(command_text_);
  // A desktop program has no console: the output gets a window of its own.
  std::string output = result.output;
  if (result.exit_status < 0) output += "\nThe ping command could not be started.";
  window_.ShowTextWindow(command_text_, output);
}

}  // namespace ardvix::nettools
