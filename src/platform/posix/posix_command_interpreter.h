// Runs a command line through /bin/sh -c, with standard output and standard error captured
// together and standard input from /dev/null (nothing may wait for the operator's typing).
#pragma once

#include "platform/command_interpreter.h"

namespace ardvix::platform {

class PosixCommandInterpreter : public CommandInterpreter {
 public:
  // exit_status: the shell's exit status; 128 + the signal number when the shell was killed
  // by a signal (the shell's own convention); -1 when it could not be started.
  CommandResult Run(const std::string& command_line) override;
};

}  // namespace ardvix::platform
