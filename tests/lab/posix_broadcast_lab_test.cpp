// The limited broadcast of PosixUdpSocket on a PC without a default route, in network
// namespaces that this test creates and removes: a "pc" namespace joined by two veth links
// to two "peer" namespaces that listen on UDP 7005. No datagram leaves these namespaces.
// Root only; skipped elsewhere.
#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/posix/poll_readiness_watcher.h"
#include "platform/posix/posix_command_interpreter.h"
#include "platform/posix/posix_udp_socket.h"

namespace ardvix::platform {
namespace {

constexpr uint16_t kDevicePort = 7005;
constexpr size_t kFrameBytes = 300;

std::string UniqueSuffix() {
  std::random_device random;
  return std::to_string(getpid()) + "-" + std::to_string(random() % 100000);
}

// Moves the calling thread into a named network namespace; back to the original one when
// it goes out of scope. Sockets keep the namespace they were created in.
class InsideNamespace {
 public:
  InsideNamespace(int original_fd, const std::string& name) : original_fd_(original_fd) {
    const std::string path = "/run/netns/" + name;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    entered_ = fd >= 0 && setns(fd, CLONE_NEWNET) == 0;
    if (fd >= 0) close(fd);
  }
  ~InsideNamespace() {
    // Carrying on in the wrong namespace would let later tests talk on the wrong network.
    if (entered_ && setns(original_fd_, CLONE_NEWNET) != 0) std::abort();
  }
  InsideNamespace(const InsideNamespace&) = delete;
  InsideNamespace& operator=(const InsideNamespace&) = delete;
  bool entered() const { return entered_; }

 private:
  int original_fd_;
  bool entered_ = false;
};

class BroadcastLabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root for network namespaces";
    // Root in a container may still be refused namespaces: try one before relying on them.
    const std::string probe = "ardvix-probe-" + suffix_;
    const CommandResult added = shell_.Run("ip netns add " + probe);
    shell_.Run("ip netns del " + probe);
    if (added.exit_status != 0) GTEST_SKIP() << "ip netns unavailable: " << added.output;
    original_ns_ = open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(original_ns_, 0) << strerror(errno);
  }

  void TearDown() override {
    for (const std::string& name : namespaces_) shell_.Run("ip netns del " + name);
    if (original_ns_ >= 0) close(original_ns_);
  }

  // Creates a namespace with its loopback up; removed in TearDown.
  std::string AddNamespace(const std::string& role) {
    const std::string name = "ardvix-" + role + "-" + suffix_;
    Ip("netns add " + name);
    namespaces_.push_back(name);
    Ip("-n " + name + " link set lo up");
    return name;
  }

  // A veth link between two namespaces, both ends up with an address /24.
  void Link(const std::string& ns_a, const std::string& if_a, const std::string& address_a,
            const std::string& ns_b, const std::string& if_b, const std::string& address_b) {
    Ip("-n " + ns_a + " link add " + if_a + " type veth peer name " + if_b + " netns " + ns_b);
    Ip("-n " + ns_a + " addr add " + address_a + "/24 dev " + if_a);
    Ip("-n " + ns_b + " addr add " + address_b + "/24 dev " + if_b);
    Ip("-n " + ns_a + " link set " + if_a + " up");
    Ip("-n " + ns_b + " link set " + if_b + " up");
  }

  void Ip(const std::string& arguments) {
    const CommandResult r = shell_.Run("ip " + arguments);
    ASSERT_EQ(r.exit_status, 0) << "ip " << arguments << ": " << r.output;
  }

  // A UDP socket bound to any address and the port, created inside the namespace.
  int ListenIn(const std::string& ns, uint16_t port) {
    InsideNamespace inside(original_ns_, ns);
    if (!inside.entered()) return -1;
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(port);
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0) {
      close(fd);
      return -1;
    }
    return fd;
  }

  struct Datagram {
    std::vector<uint8_t> bytes;
    sockaddr_in source{};
  };

  // One datagram within timeout_ms, or none (empty bytes).
  static Datagram ReceiveWithin(int fd, int timeout_ms) {
    Datagram d;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, timeout_ms) != 1) return d;
    d.bytes.resize(2048);
    socklen_t length = sizeof d.source;
    const ssize_t n = recvfrom(fd, d.bytes.data(), d.bytes.size(), MSG_DONTWAIT,
                               reinterpret_cast<sockaddr*>(&d.source), &length);
    d.bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return d;
  }

  static std::string Dotted(const sockaddr_in& address) {
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return text;
  }

  PosixCommandInterpreter shell_;
  std::string suffix_ = UniqueSuffix();
  std::vector<std::string> namespaces_;
  int original_ns_ = -1;
};

TEST_F(BroadcastLabTest, LimitedBroadcastLeavesThroughEveryInterfaceWithoutADefaultRoute) {
  const std::string pc = AddNamespace("pc");
  const std::string peer_a = AddNamespace("peer-a");
  const std::string peer_b = AddNamespace("peer-b");
  ASSERT_NO_FATAL_FAILURE(Link(pc, "nic-a", "10.71.1.1", peer_a, "eth0", "10.71.1.2"));
  ASSERT_NO_FATAL_FAILURE(Link(pc, "nic-b", "10.71.2.1", peer_b, "eth0", "10.71.2.2"));
  // A second address on one interface must not make the datagram leave there twice.
  ASSERT_NO_FATAL_FAILURE(Ip("-n " + pc + " addr add 10.71.9.1/24 dev nic-a"));

  const int listener_a = ListenIn(peer_a, kDevicePort);
  const int listener_b = ListenIn(peer_b, kDevicePort);
  ASSERT_GE(listener_a, 0);
  ASSERT_GE(listener_b, 0);

  std::vector<uint8_t> frame(kFrameBytes, 0);
  std::memcpy(frame.data(), "cryptomac", 9);
  frame[kFrameBytes - 1] = 0xEE;

  PollReadinessWatcher watcher;
  PosixUdpSocket socket(watcher);
  int plain_result = 0, plain_errno = 0, sent = 0;
  {
    InsideNamespace inside(original_ns_, pc);
    ASSERT_TRUE(inside.entered());
    ASSERT_TRUE(socket.Open());
    ASSERT_TRUE(socket.SetBroadcast(1));

    // Why the per-interface send exists: the kernel's own route lookup finds nothing.
    const int plain = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(plain, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    sockaddr_in everyone{};
    everyone.sin_family = AF_INET;
    everyone.sin_port = htons(kDevicePort);
    everyone.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    plain_result =
        static_cast<int>(sendto(plain, frame.data(), frame.size(), 0,
                                reinterpret_cast<sockaddr*>(&everyone), sizeof everyone));
    plain_errno = errno;
    close(plain);

    sent = socket.SendTo(frame, "255.255.255.255", kDevicePort);
  }
  EXPECT_EQ(plain_result, -1);
  EXPECT_EQ(plain_errno, ENETUNREACH) << strerror(plain_errno);
  EXPECT_EQ(sent, static_cast<int>(kFrameBytes));

  const std::map<int, std::string> pc_address_towards = {{listener_a, "10.71.1.1"},
                                                         {listener_b, "10.71.2.1"}};
  for (const auto& [listener, pc_address] : pc_address_towards) {
    SCOPED_TRACE("peer reached through " + pc_address);
    const Datagram got = ReceiveWithin(listener, 2000);
    EXPECT_EQ(got.bytes, frame);
    EXPECT_EQ(Dotted(got.source), pc_address);  // the interface's own address as source
    EXPECT_EQ(ntohs(got.source.sin_port), socket.LocalPort());
    EXPECT_TRUE(ReceiveWithin(listener, 200).bytes.empty()) << "received twice";

    // The device answers to where the request came from.
    const std::vector<uint8_t> answer(kFrameBytes, 0x41);
    EXPECT_EQ(sendto(listener, answer.data(), answer.size(), 0,
                     reinterpret_cast<const sockaddr*>(&got.source), sizeof got.source),
              static_cast<ssize_t>(kFrameBytes));
  }

  // Both answers come back to the one socket, through its readable callback.
  std::vector<std::string> answered_by;
  socket.SetReadableCallback([&] {
    std::vector<uint8_t> buffer(kFrameBytes);
    const ReceiveResult r = socket.Receive(buffer);
    if (r.ok()) answered_by.push_back(r.source_address);
  });
  for (int round = 0; round < 20 && answered_by.size() < 2; ++round) watcher.RunOnce(100);
  std::sort(answered_by.begin(), answered_by.end());
  EXPECT_EQ(answered_by, (std::vector<std::string>{"10.71.1.2", "10.71.2.2"}));

  close(listener_a);
  close(listener_b);
}

TEST_F(BroadcastLabTest, WithoutABroadcastInterfaceTheSendFailsAndSaysSo) {
  const std::string lonely = AddNamespace("lonely");  // loopback only
  PollReadinessWatcher watcher;
  PosixUdpSocket socket(watcher);
  int sent = 0, error = 0;
  {
    InsideNamespace inside(original_ns_, lonely);
    ASSERT_TRUE(inside.entered());
    ASSERT_TRUE(socket.Open());
    ASSERT_TRUE(socket.SetBroadcast(1));
    const std::vector<uint8_t> frame(kFrameBytes, 0);
    sent = socket.SendTo(frame, "255.255.255.255", kDevicePort);
    error = errno;
  }
  EXPECT_EQ(sent, -1);
  EXPECT_EQ(error, ENETUNREACH) << strerror(error);
}

}  // namespace
}  // namespace ardvix::platform
