// A small lab for the ping engine: two network namespaces of this test's own ("pc" and
// "peer") joined by a veth pair, 10.77.0.1/24 on the pc side and 10.77.0.2/24 on the peer
// side; 10.77.0.3 is a free address on that segment. Everything is removed when the lab
// object goes (and names carry the process id and a random suffix, so runs never collide).
// Root only: callers skip when Available() is false.
#pragma once

#include <fcntl.h>
#include <sched.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <thread>

namespace ardvix::pinglab {

inline constexpr uint32_t kPcAddress = 0x0A4D0001;    // 10.77.0.1
inline constexpr uint32_t kPeerAddress = 0x0A4D0002;  // 10.77.0.2

inline bool Run(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

class NetnsLab {
 public:
  static bool Available() { return geteuid() == 0 && Run("ip netns list"); }

  NetnsLab() {
    std::random_device random;
    const std::string tag =
        std::to_string(getpid() % 100000) + "x" + std::to_string(random() % 10000);
    pc_ = "ardvix-ping-pc-" + tag;
    peer_ = "ardvix-ping-peer-" + tag;
    const std::string pc_link = "vpc" + tag;  // interface names stay within 15 characters
    const std::string peer_link = "vpe" + tag;
    ok_ = Run("ip netns add " + pc_) && Run("ip netns add " + peer_) &&
          Run("ip link add " + pc_link + " netns " + pc_ + " type veth peer name " + peer_link +
              " netns " + peer_) &&
          Run("ip -n " + pc_ + " link set lo up") && Run("ip -n " + peer_ + " link set lo up") &&
          Run("ip -n " + pc_ + " addr add 10.77.0.1/24 dev " + pc_link) &&
          Run("ip -n " + peer_ + " addr add 10.77.0.2/24 dev " + peer_link) &&
          Run("ip -n " + pc_ + " link set " + pc_link + " up") &&
          Run("ip -n " + peer_ + " link set " + peer_link + " up");
  }
  ~NetnsLab() {
    Run("ip netns del " + pc_);
    Run("ip netns del " + peer_);
  }
  NetnsLab(const NetnsLab&) = delete;
  NetnsLab& operator=(const NetnsLab&) = delete;

  bool ok() const { return ok_; }
  const std::string& pc() const { return pc_; }
  const std::string& peer() const { return peer_; }

  // Runs a shell command inside a namespace of the lab.
  bool Exec(const std::string& ns, const std::string& command) const {
    return Run("ip netns exec " + ns + " " + command);
  }

  // Runs f on a thread of its own that has entered namespace ns; sockets f opens belong to
  // that namespace for their whole life. The calling thread's namespace is left alone.
  static bool InNamespace(const std::string& ns, const std::function<void()>& f) {
    bool entered = false;
    std::thread thread([&] {
      const int fd = open(("/run/netns/" + ns).c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) return;
      entered = setns(fd, CLONE_NEWNET) == 0;
      close(fd);
      if (entered) f();
    });
    thread.join();
    return entered;
  }

 private:
  std::string pc_;
  std::string peer_;
  bool ok_ = false;
};

}  // namespace ardvix::pinglab
