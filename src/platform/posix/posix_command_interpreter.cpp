#include "platform/posix/posix_command_interpreter.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace ardvix::platform {

namespace {

// Between fork and exec only async-signal-safe calls: the program has other threads (the
// ping worker) whose locks the child must not touch.
[[noreturn]] void ExecShellInChild(int output_fd, const char* command_line) {
  const int null_fd = open("/dev/null", O_RDONLY);
  if (null_fd < 0 || dup2(null_fd, STDIN_FILENO) < 0 || dup2(output_fd, STDOUT_FILENO) < 0 ||
      dup2(output_fd, STDERR_FILENO) < 0) {
    _exit(127);
  }
  const char* const argv[] = {"sh", "-c", command_line, nullptr};
  execv("/bin/sh", const_cast<char* const*>(argv));
  _exit(127);
}

int ExitStatusOf(int wait_status) {
  if (WIFEXITED(wait_status)) return WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) return 128 + WTERMSIG(wait_status);
  return -1;
}

}  // namespace

CommandResult PosixCommandInterpreter::Run(const std::string& command_line) {
  CommandResult result;
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) return result;
  const int read_end = pipe_fds[0];
  const int write_end = pipe_fds[1];

  const pid_t child = fork();
  if (child < 0) {
    close(read_end);
    close(write_end);
    return result;
  }
  if (child == 0) ExecShellInChild(write_end, command_line.c_str());

  close(write_end);
  char chunk[4096];
  for (;;) {
    const ssize_t n = read(read_end, chunk, sizeof chunk);
    if (n > 0) {
      result.output.append(chunk, static_cast<size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  close(read_end);

  int wait_status = 0;
  pid_t waited;
  do {
    waited = waitpid(child, &wait_status, 0);
  } while (waited < 0 && errno == EINTR);
  if (waited == child) result.exit_status = ExitStatusOf(wait_status);
  return result;
}

}  // namespace ardvix::platform
