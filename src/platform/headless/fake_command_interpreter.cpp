#include "platform/headless/fake_command_interpreter.h"

#include <utility>

namespace ardvix::headless {

platform::CommandResult FakeCommandInterpreter::Run(const std::string& command_line) {
  platform::CommandResult result;
  {
    std::lock_guard lock(mutex_);
    commands_.push_back(command_line);
    auto it = results_.find(command_line);
    result = it == results_.end() ? default_result_ : it->second;
  }
  if (on_run) on_run(command_line);
  return result;
}

void FakeCommandInterpreter::SetResult(const std::string& command_line,
                                       platform::CommandResult result) {
  std::lock_guard lock(mutex_);
  results_[command_line] = std::move(result);
}

void FakeCommandInterpreter::SetDefaultResult(platform::CommandResult result) {
  std::lock_guard lock(mutex_);
  default_result_ = std::move(result);
}

std::vector<std::string> FakeCommandInterpreter::commands() const {
  std::lock_guard lock(mutex_);
  return commands_;
}

void FakeCommandInterpreter::ClearCommands() {
  std::lock_guard lock(mutex_);
  commands_.clear();
}

}  // namespace ardvix::headless
