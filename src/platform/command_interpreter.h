// Runs a command line through the system's command interpreter (/bin/sh -c) and waits for
// it to end. Threads: the caller's thread blocks until the command has ended.
#pragma once

#include <string>

namespace ardvix::platform {

struct CommandResult {
  int exit_status = -1;  // -1 when the command could not be started
  std::string output;    // standard output and standard error together
};

// Empties the PC's address-resolution cache; its outcome is never examined.
inline constexpr const char* kArpFlushCommand = "ip neigh flush all";

class CommandInterpreter {
 public:
  virtual ~CommandInterpreter() = default;
  virtual CommandResult Run(const std::string& command_line) = 0;
};

}  // namespace ardvix::platform
