// A command interpreter that runs nothing: it records every command line and answers with a
// scripted result (by default exit status 0 and no output).
// Threads: any; calls are serialised.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/command_interpreter.h"

namespace ardvix::headless {

class FakeCommandInterpreter : public platform::CommandInterpreter {
 public:
  platform::CommandResult Run(const std::string& command_line) override;

  // The result for one exact command line; others get the default result.
  void SetResult(const std::string& command_line, platform::CommandResult result);
  void SetDefaultResult(platform::CommandResult result);
  std::vector<std::string> commands() const;
  void ClearCommands();

  // Called for every run, on the running thread, before the result is returned (a test may
  // write a file the command would have written). Set before use.
  std::function<void(const std::string& command_line)> on_run;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> commands_;
  std::map<std::string, platform::CommandResult> results_;
  platform::CommandResult default_result_{0, ""};
};

}  // namespace ardvix::headless
