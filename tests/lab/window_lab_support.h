// The main window on the headless backend with the real Linux sockets, run inside the PC
// namespace of a lab segment (scripts/lab.sh) with simulated devices. Every datagram stays
// inside the namespaces the segment creates; the segment is taken down by the destructor.
//
//   WindowLab lab;
//   if (!lab.Up("--devices '' --generate 1000")) ...
//   const std::string report = lab.RunInPc(20, [](ardvix::testing::PcWindow& pc) { ... });
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "platform/headless/fake_command_interpreter.h"
#include "platform/headless/fake_host_info.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/virtual_clock.h"
#include "platform/posix/poll_readiness_watcher.h"
#include "platform/posix/posix_udp_socket.h"
#include "platform/services.h"
#include "support/fake_ping_runner.h"
#include "window/finder_dlg.h"

namespace ardvix::testing {

inline constexpr uint32_t kLabPcAddress = (10u << 24) | (77u << 16) | 1u;  // 10.77.0.1
inline constexpr uint32_t kLabPcMask = 0xFFFF0000u;

// Runs a shell command bounded by timeout(1); true when it exited with 0.
inline bool RunBounded(const std::string& command, int seconds = 60) {
  const std::string line =
      "timeout " + std::to_string(seconds) + " " + command + " >/dev/null 2>&1";
  const int status = std::system(line.c_str());
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Why a lab test cannot run here; empty when it can.
inline std::string LabUnavailableReason() {
  if (geteuid() != 0) return "needs root for network namespaces";
  if (!RunBounded("ip netns list")) return "ip netns is not available";
  return {};
}

// What the child in the PC namespace builds: the headless window side, the real sockets
// and the poll loop, a fixed local address (10.77.0.1) and a fake ping worker.
struct PcWindow {
  explicit PcWindow(int receive_buffer_bytes) : udp(watcher, receive_buffer_bytes) {
    platform::InterfaceInfo eth;
    eth.name = "eth0";
    eth.address = kLabPcAddress;
    eth.netmask = kLabPcMask;
    eth.up = eth.broadcast = true;
    host.SetInterfaces({eth});
    host.SetHostName("labpc");
    host.SetResolution("labpc", {kLabPcAddress});
  }

  // Runs the main window; body runs while it is open and must close it.
  void Run(const std::function<void(headless::HeadlessWindow&, window::CFinderDlg&)>& body) {
    window::CFinderDlg dlg(services, std::make_unique<FakePingRunner>());
    backend.SetModalScript(window::IDD_FINDER_DIALOG,
                           [&](headless::HeadlessWindow& w) { body(w, dlg); });
    dlg.DoModal();
  }

  // Runs the poll loop until done() holds, or for at most max_ms of real time.
  void LoopUntil(const std::function<bool()>& done, int max_ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(max_ms);
    while (!done() && std::chrono::steady_clock::now() < end) {
      if (watcher.RunOnce(100) < 0) break;
      backend.Pump();  // posted notifications, if any
    }
  }

  headless::VirtualClock clock;  // window timers only: they fire when a test advances it
  headless::HeadlessBackend backend{clock};
  platform::PollReadinessWatcher watcher;
  platform::PosixUdpSocketFactory udp;
  headless::FakeCommandInterpreter shell;
  headless::FakeHostInfo host;
  platform::Services services{&backend, &udp, &clock, &shell, &host};
};

class WindowLab {
 public:
  WindowLab() {
    std::random_device random;
    name_ = "wl" + std::to_string(getpid() % 100000) + std::to_string(random() % 1000);
    state_ = std::filesystem::temp_directory_path() / ("window-lab-" + name_);
  }
  ~WindowLab() { RunBounded(Env() + LAB_SCRIPT " down " + name_); }
  WindowLab(const WindowLab&) = delete;
  WindowLab& operator=(const WindowLab&) = delete;

  bool Up(const std::string& options) {
    return RunBounded(Env() + LAB_SCRIPT " up " + name_ +
                      " --camsim " CAMSIM_PATH " --max-seconds 300 " + options);
  }

  // Forks a child that enters the PC namespace and runs body there; gives what body
  // returned, or "error: ..." when the child failed or ran past max_seconds (it is then
  // killed by its PID).
  std::string RunInPc(int max_seconds, const std::function<std::string()>& body) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return "error: pipe";
    const pid_t child = fork();
    if (child < 0) return "error: fork";
    if (child == 0) {
      close(pipe_fds[0]);
      std::string report = "error: setns";
      const int ns = open(("/run/netns/" + name_ + "-pc").c_str(), O_RDONLY | O_CLOEXEC);
      if (ns >= 0 && setns(ns, CLONE_NEWNET) == 0) report = body();
      const char* data = report.data();
      size_t left = report.size();
      while (left > 0) {
        const ssize_t written = write(pipe_fds[1], data, left);
        if (written <= 0) break;
        data += written;
        left -= static_cast<size_t>(written);
      }
      _exit(0);
    }
    close(pipe_fds[1]);
    std::string report;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(max_seconds);
    bool finished = false;
    while (std::chrono::steady_clock::now() < end) {
      pollfd readable{pipe_fds[0], POLLIN, 0};
      if (poll(&readable, 1, 200) <= 0) continue;
      char chunk[4096];
      const ssize_t got = read(pipe_fds[0], chunk, sizeof chunk);
      if (got <= 0) {
        finished = true;
        break;
      }
      report.append(chunk, static_cast<size_t>(got));
    }
    close(pipe_fds[0]);
    if (!finished) kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    if (!finished) return "error: the child ran past " + std::to_string(max_seconds) + " s";
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "error: the child failed";
    return report;
  }

 private:
  std::string Env() const { return "env ARDVIX_LAB_STATE=" + state_.string() + " "; }
  std::string name_;
  std::filesystem::path state_;
};

}  // namespace ardvix::testing
