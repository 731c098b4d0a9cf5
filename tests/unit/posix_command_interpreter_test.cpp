#include <gtest/gtest.h>

#include "platform/posix/posix_command_interpreter.h"

namespace ardvix::platform {
namespace {

struct CommandCase {
  const char* name;
  const char* line;
  int exit_status;
  const char* output;  // exact output
};

class CommandInterpreterTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandInterpreterTest, OutputAndExitStatus) {
  const CommandCase& c = GetParam();
  PosixCommandInterpreter shell;
  const CommandResult r = shell.Run(c.line);
  EXPECT_EQ(r.exit_status, c.exit_status);
  EXPECT_EQ(r.output, c.output);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandInterpreterTest,
    ::testing::Values(CommandCase{"output_and_status", "echo hi; exit 3", 3, "hi\n"},
                      CommandCase{"stderr_in_order_with_stdout",
                                  "echo one; echo two >&2; echo three", 0, "one\ntwo\nthree\n"},
                      // Standard input is /dev/null: a command that reads it ends at once.
                      CommandCase{"stdin_is_empty", "cat; echo done", 0, "done\n"},
                      CommandCase{"killed_by_a_signal", "kill -9 $$", 128 + 9, ""},
                      CommandCase{"shell_redirection_works", "echo a > /dev/null; printf b", 0,
                                  "b"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CommandInterpreterMissingProgramTest, GivesTheShellsNotFoundStatusAndMessage) {
  PosixCommandInterpreter shell;
  const CommandResult r = shell.Run("ardvix-no-such-program-here");
  EXPECT_EQ(r.exit_status, 127);
  EXPECT_NE(r.output.find("not found"), std::string::npos) << r.output;
}

TEST(CommandInterpreterLargeOutputTest, OutputBeyondThePipeBufferIsAllRead) {
  // More than a pipe holds: waiting for the child before reading would deadlock.
  PosixCommandInterpreter shell;
  const CommandResult r = shell.Run("head -c 300000 /dev/zero | tr '\\000' a");
  EXPECT_EQ(r.exit_status, 0);
  ASSERT_EQ(r.output.size(), 300000u);
  EXPECT_EQ(r.output.find_first_not_of('a'), std::string::npos);
}

}  // namespace
}  // namespace ardvix::platform
