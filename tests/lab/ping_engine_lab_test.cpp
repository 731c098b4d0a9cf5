// The ping engine against the real kernel, inside namespaces the test creates.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include <chrono>
#include <regex>

#include "nettools/neighbour_table_netlink.h"
#include "nettools/pinger.h"
#include "ping_netns.h"
#include "platform/posix/icmp_socket_posix.h"
#include "unit/ping_fakes.h"

namespace ardvix::nettools {
namespace {

using pinglab::NetnsLab;
using Events = std::vector<std::string>;

class MonotonicClock : public platform::Clock {
 public:
  uint32_t TickCountMs() const override {
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
  }
  void SleepMs(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  platform::LocalDateTime LocalTimeNow() const override { return {}; }
};

// Dotted addresses only: names never go to a resolver, so no lookup can leave the machine.
class NumericHostInfo : public platform::HostInfo {
 public:
  std::optional<std::string> HostName() override { return "pc"; }
  std::optional<std::vector<uint32_t>> ResolveIpv4(const std::string& name) override {
    in_addr a{};
    if (inet_pton(AF_INET, name.c_str(), &a) != 1) return std::nullopt;
    return std::vector<uint32_t>{ntohl(a.s_addr)};
  }
  std::vector<platform::InterfaceInfo> Ipv4Interfaces() override { return {}; }
};

// A raw ICMP socket that sees every ICMP datagram of its namespace.
struct IcmpSniffer {
  struct Seen {
    std::vector<uint8_t> bytes;  // IPv4 header first
    uint32_t source;
  };
  int fd = -1;
  ~IcmpSniffer() {
    if (fd >= 0) close(fd);
  }
  std::vector<Seen> Drain() const {
    std::vector<Seen> all;
    uint8_t buffer[1500];
    for (int i = 0; i < 10000; ++i) {
      sockaddr_in from{};
      socklen_t length = sizeof from;
      const ssize_t n = recvfrom(fd, buffer, sizeof buffer, MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&from), &length);
      if (n <= 0) break;
      all.push_back({std::vector<uint8_t>(buffer, buffer + n), ntohl(from.sin_addr.s_addr)});
    }
    return all;
  }
  static uint8_t IcmpType(const Seen& s) { return s.bytes.at((s.bytes.at(0) & 0x0F) * 4u); }
};

class PingLab : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!NetnsLab::Available()) GTEST_SKIP() << "needs root and ip netns";
    lab_ = std::make_unique<NetnsLab>();
    ASSERT_TRUE(lab_->ok());
  }

  // Runs one job of the engine inside the pc namespace and returns its notifications.
  Events PingFromPc(uint32_t count, const std::string& target, uint32_t pause_ms,
                    std::function<void()> before = {}) {
    auto recorder = std::make_shared<pingtest::RecordingTarget>();
    EXPECT_TRUE(NetnsLab::InNamespace(lab_->pc(), [&] {
      if (before) before();
      PingEnvironment env{&factory_, &host_, &clock_, &neighbours_, pause_ms, 1000};
      platform::StopEvent stop;
      CPinger pinger(env, stop);
      pinger.Ping(count, target, recorder);
    }));
    return recorder->Events();
  }

  IcmpSniffer SnifferIn(const std::string& ns) {
    IcmpSniffer sniffer;
    NetnsLab::InNamespace(ns, [&] { sniffer.fd = socket(AF_INET, SOCK_RAW, IPPROTO_ICMP); });
    EXPECT_GE(sniffer.fd, 0);
    return sniffer;
  }

  std::unique_ptr<NetnsLab> lab_;
  platform::PosixIcmpSocketFactory factory_;
  NumericHostInfo host_;
  MonotonicClock clock_;
  NetlinkNeighbourTable neighbours_;
};

const std::string kOpening = "post:500:1:0:Pinging 10.77.0.2 [10.77.0.2] with 32 bytes of data:";

// With the real 5000 ms pause: numbered replies, a true round trip, and the first request
// of the run on the wire with identifier 1, sequence 1 and a valid checksum.
TEST_F(PingLab, AnsweringAddressWithTheRealPause) {
  const IcmpSniffer peer = SnifferIn(lab_->peer());
  const auto start = std::chrono::steady_clock::now();
  const Events events = PingFromPc(2, "10.77.0.2", 5000);
  const auto took = std::chrono::steady_clock::now() - start;

  ASSERT_EQ(events.size(), 6u) << ::testing::PrintToString(events);
  EXPECT_EQ(events[0], kOpening);
  const std::regex reply(
      R"(post:500:2:0:Reply\[(\d)\] from: 10\.77\.0\.2: bytes=32 time=(\d+)ms TTL=64)");
  for (int cycle : {1, 2}) {
    const size_t at = static_cast<size_t>(2 * cycle);
    EXPECT_EQ(events[at - 1], "send:403");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(events[at], m, reply)) << events[at];
    EXPECT_EQ(std::stoi(m[1]), cycle);
    EXPECT_LT(std::stol(m[2]), 1000) << "the pause must not be in the round trip";
  }
  EXPECT_EQ(events[5], "post:501:0:1");
  EXPECT_GE(took, std::chrono::milliseconds(10000));

  std::vector<IcmpSniffer::Seen> requests;
  for (const auto& seen : peer.Drain()) {
    if (seen.source == pinglab::kPcAddress && IcmpSniffer::IcmpType(seen) == 8) {
      requests.push_back(seen);
    }
  }
  ASSERT_EQ(requests.size(), 2u);
  const std::vector<uint8_t>& first = requests[0].bytes;
  const size_t header = (first[0] & 0x0F) * 4u;
  ASSERT_EQ(first.size(), header + 45);
  const std::span<const uint8_t> icmp(first.data() + header, 45);
  EXPECT_EQ((std::vector<uint8_t>(icmp.begin() + 4, icmp.begin() + 9)),
            (std::vector<uint8_t>{1, 0, 1, 0, 0}));
  EXPECT_EQ(InternetChecksum(icmp), 0);
  for (size_t i = 13; i < 45; ++i) EXPECT_EQ(icmp[i], 0x20 + (i - 13));
}

// A free address: the kernel hands the raw socket host-unreachable errors (about 3 s after
// each request, inside the pause) and another program's ping fills it with echo replies;
// none of it is an answer.
TEST_F(PingLab, FreeAddressTimesOutWhatEverElseArrives) {
  const IcmpSniffer pc = SnifferIn(lab_->pc());
  const std::string pc_ns = lab_->pc();
  const char* argv[] = {"ip", "netns", "exec", pc_ns.c_str(), "ping", "-q",        "-c",
                        "70", "-i",    "0.2",  "-w",          "16",   "10.77.0.2", nullptr};
  pid_t other_ping = -1;
  ASSERT_EQ(posix_spawnp(&other_ping, "ip", nullptr, nullptr, const_cast<char**>(argv), environ),
            0);

  const Events events = PingFromPc(2, "10.77.0.3", 5000);
  kill(other_ping, SIGTERM);
  waitpid(other_ping, nullptr, 0);

  EXPECT_EQ(events, (Events{"post:500:1:0:Pinging 10.77.0.3 [10.77.0.3] with 32 bytes of data:",
                            "send:404", "post:500:3:0:Request timed out", "send:404",
                            "post:500:3:0:Request timed out", "post:501:0:1"}));
  int unreachable = 0, other_replies = 0;
  for (const auto& seen : pc.Drain()) {
    if (IcmpSniffer::IcmpType(seen) == 3) ++unreachable;
    if (IcmpSniffer::IcmpType(seen) == 0 && seen.source == pinglab::kPeerAddress) ++other_replies;
  }
  EXPECT_GT(unreachable, 0) << "the kernel should have reported the free address unreachable";
  EXPECT_GT(other_replies, 10);
}

TEST_F(PingLab, UnresolvableNameSendsNoRequest) {
  const IcmpSniffer peer = SnifferIn(lab_->peer());
  EXPECT_EQ(PingFromPc(2, "no-such-camera", 100),
            (Events{"send:405", "post:500:0:0:Host not found: no-such-camera", "post:501:0:0"}));
  EXPECT_TRUE(peer.Drain().empty());
}

TEST_F(PingLab, HostDroppingEchoRequestsIsFoundInUseThroughTheNeighbourTable) {
  ASSERT_TRUE(lab_->Exec(lab_->peer(), "sysctl -qw net.ipv4.icmp_echo_ignore_all=1"));
  EXPECT_EQ(PingFromPc(2, "10.77.0.2", 300),
            (Events{kOpening, "send:404", "post:500:3:0:Request timed out", "send:404",
                    "post:500:3:0:Request timed out", "send:403",
                    "post:500:2:0:Reply from: 10.77.0.2: answered ARP, ignores echo requests",
                    "post:501:0:1"}));
}

// Without CAP_NET_RAW (dropped on the engine's thread only) the engine falls back to the
// ICMP datagram socket, which works where ping_group_range covers the process's group.
TEST_F(PingLab, WithoutRawSocketPrivilegeTheDatagramSocketIsUsed) {
  struct Case {
    const char* ping_group_range;
    Events expected;
  };
  const std::regex reply_line(
      R"(post:500:2:0:Reply\[\d\] from: 10\.77\.0\.2: bytes=32 time=\d+ms TTL=64)");
  const Case cases[] = {
      {"0 2147483647", {}},
      {"1 0", {"post:500:0:0:socket() - WSAError: 1", "post:501:0:0"}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(lab_->Exec(lab_->pc(), std::string("sysctl -qw net.ipv4.ping_group_range='") +
                                           c.ping_group_range + "'"));
    const Events events = PingFromPc(2, "10.77.0.2", 200, [] {
      __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
      __user_cap_data_struct data[2]{};
      ASSERT_EQ(syscall(SYS_capget, &header, data), 0);
      data[0].effective &= ~(1u << CAP_NET_RAW);
      ASSERT_EQ(syscall(SYS_capset, &header, data), 0);
    });
    if (!c.expected.empty()) {
      EXPECT_EQ(events, c.expected) << c.ping_group_range;
      continue;
    }
    ASSERT_EQ(events.size(), 6u) << ::testing::PrintToString(events);
    EXPECT_EQ(events[0], kOpening);
    EXPECT_EQ(events[1], "send:403");
    EXPECT_TRUE(std::regex_match(events[2], reply_line)) << events[2];
    EXPECT_EQ(events[3], "send:403");
    EXPECT_TRUE(std::regex_match(events[4], reply_line)) << events[4];
    EXPECT_EQ(events[5], "post:501:0:1");
  }
}

}  // namespace
}  // namespace ardvix::nettools
