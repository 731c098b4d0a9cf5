// The engine's notifications for each way a job can go, with a scripted socket and clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "nettools/ping_messages.h"
#include "nettools/pinger.h"
#include "ping_fakes.h"

namespace ardvix::nettools {
namespace {

using pingtest::EchoReplyTo;
using pingtest::Inbound;
using pingtest::kOther;
using pingtest::kTarget;
using Events = std::vector<std::string>;

const std::string kOpening = "post:500:1:0:Pinging 10.0.0.2 [10.0.0.2] with 32 bytes of data:";
const std::string kReplyOutcome = "send:403";
const std::string kTimeoutOutcome = "send:404";
const std::string kTimeoutLine = "post:500:3:0:Request timed out";
const std::string kDoneAfterCycles = "post:501:0:1";
const std::string kDoneEarly = "post:501:0:0";

std::string ReplyLine(int cycle, int ttl = 64, long ms = 3) {
  return "post:500:2:0:Reply[" + std::to_string(cycle) +
         "] from: 10.0.0.2: bytes=32 time=" + std::to_string(ms) + "ms TTL=" + std::to_string(ttl);
}
std::string ErrorLine(const std::string& text) { return "post:500:0:0:" + text; }

class PingEngine : public ::testing::Test {
 protected:
  PingEngine() {
    host_.table["10.0.0.2"] = {kTarget};
    host_.table["cam"] = {kTarget, kOther};
  }
  Events Run(uint32_t count, const std::string& target = "10.0.0.2") {
    auto recorder = std::make_shared<pingtest::RecordingTarget>();
    pinger_.Ping(count, target, recorder);
    return recorder->Events();
  }

  pingtest::FakeClock clock_;
  pingtest::SocketScript script_;
  pingtest::FakeIcmpSocketFactory factory_{script_, clock_};
  pingtest::TableHostInfo host_;
  pingtest::FixedNeighbourTable neighbours_;
  platform::StopEvent stop_;
  PingEnvironment env_{&factory_, &host_, &clock_, &neighbours_, /*pause_ms=*/0};
  CPinger pinger_{env_, stop_};
};

// Answers every request (number in) for which answers(n) is true.
auto Answer(std::function<bool(int)> answers) {
  return [answers](const std::vector<uint8_t>& request, int n) {
    return answers(n) ? std::vector<Inbound>{{EchoReplyTo(request)}} : std::vector<Inbound>{};
  };
}

TEST_F(PingEngine, OutcomesComeBeforeTheirLinesAndOneDoneEndsTheJob) {
  struct Case {
    const char* name;
    uint32_t count;
    std::function<bool(int)> answers;
    Events expected;
  };
  const Case cases[] = {
      {"count_0", 0, [](int) { return true; }, {kOpening, kDoneAfterCycles}},
      {"reply_reply",
       2,
       [](int) { return true; },
       {kOpening, kReplyOutcome, ReplyLine(1), kReplyOutcome, ReplyLine(2), kDoneAfterCycles}},
      {"timeout_timeout",
       2,
       [](int) { return false; },
       {kOpening, kTimeoutOutcome, kTimeoutLine, kTimeoutOutcome, kTimeoutLine, kDoneAfterCycles}},
      {"reply_timeout",
       2,
       [](int n) { return n == 0; },
       {kOpening, kReplyOutcome, ReplyLine(1), kTimeoutOutcome, kTimeoutLine, kDoneAfterCycles}},
  };
  for (const Case& c : cases) {
    script_ = {};
    script_.on_send = Answer(c.answers);
    EXPECT_EQ(Run(c.count), c.expected) << c.name;
    EXPECT_EQ(script_.sent.size(), c.count) << c.name;
    EXPECT_TRUE(script_.closed) << c.name;
  }
}

TEST_F(PingEngine, NameResolvesToItsFirstAddress) {
  script_.on_send = Answer([](int) { return true; });
  const Events events = Run(1, "cam");
  EXPECT_EQ(events.front(), "post:500:1:0:Pinging cam [10.0.0.2] with 32 bytes of data:");
  EXPECT_EQ(script_.destinations, std::vector<uint32_t>{kTarget});
}

TEST_F(PingEngine, OnlyAnEchoReplyToThisJobsRequestFromTheTargetCounts) {
  // Each request is followed by one kind of stray datagram and, when the row says so, the
  // real reply after it. Rows without the real reply must time out.
  using Stray = std::function<Inbound(std::vector<uint8_t>)>;
  auto changed = [](size_t offset, uint8_t value) {
    return [=](std::vector<uint8_t> request) {
      request[offset] = static_cast<uint8_t>(request[offset] + value);
      return Inbound{EchoReplyTo(request)};
    };
  };
  struct Case {
    const char* name;
    platform::IcmpSocketKind kind;
    Stray stray;
  };
  const Case cases[] = {
      {"host_unreachable_error", platform::IcmpSocketKind::kRaw,
       [](auto r) {
         return Inbound{pingtest::HostUnreachableFor(r), 0x0A000001};
       }},
      {"reply_from_another_host", platform::IcmpSocketKind::kRaw,
       [](auto r) {
         return Inbound{EchoReplyTo(r), kOther};
       }},
      {"other_sequence", platform::IcmpSocketKind::kRaw, changed(6, 7)},
      {"other_identifier_on_raw_socket", platform::IcmpSocketKind::kRaw, changed(4, 7)},
      {"other_send_time", platform::IcmpSocketKind::kRaw, changed(9, 1)},
      {"other_sequence_on_datagram_socket", platform::IcmpSocketKind::kDatagram, changed(6, 7)},
      {"our_own_request_looped_back", platform::IcmpSocketKind::kRaw,
       [](auto r) { return Inbound{pingtest::Ipv4Datagram(r)}; }},
      {"truncated_reply", platform::IcmpSocketKind::kRaw,
       [](auto r) {
         auto d = EchoReplyTo(r);
         d.resize(30);
         return Inbound{d};
       }},
  };
  for (const Case& c : cases) {
    for (bool real_reply_follows : {false, true}) {
      script_ = {};
      script_.kind = c.kind;
      script_.on_send = [&](const std::vector<uint8_t>& request, int) {
        std::vector<Inbound> in{c.stray(request)};
        if (real_reply_follows) in.push_back({EchoReplyTo(request)});
        return in;
      };
      const Events expected =
          real_reply_follows ? Events{kOpening, kReplyOutcome, ReplyLine(1), kDoneAfterCycles}
                             : Events{kOpening, kTimeoutOutcome, kTimeoutLine, kDoneAfterCycles};
      EXPECT_EQ(Run(1), expected) << c.name << (real_reply_follows ? " + reply" : "");
    }
  }
}

TEST_F(PingEngine, DatagramSocketRepliesMatchDespiteTheKernelsIdentifier) {
  script_.kind = platform::IcmpSocketKind::kDatagram;
  script_.on_send = [](std::vector<uint8_t> request, int) {
    request[4] = 0x77;  // the kernel's own identifier
    request[5] = 0x88;
    return std::vector<Inbound>{{EchoReplyTo(request, 61)}};
  };
  EXPECT_EQ(Run(1), (Events{kOpening, kReplyOutcome, ReplyLine(1, 61), kDoneAfterCycles}));
}

TEST_F(PingEngine, TimeIsTheRoundTripFromKernelArrivalNotThePause) {
  script_.on_send = [](const std::vector<uint8_t>& request, int n) {
    // Sends happen at 1 s and 2 s of the socket's clock; arrivals 12.7 ms and 0.4 ms later.
    const int64_t arrival = n == 0 ? 1'012'700 : 2'000'400;
    return std::vector<Inbound>{{EchoReplyTo(request), kTarget, arrival}};
  };
  const Events events = Run(2);
  EXPECT_EQ(events.at(2), ReplyLine(1, 64, 12));
  EXPECT_EQ(events.at(4), ReplyLine(2, 64, 0));
}

TEST_F(PingEngine, ADuplicateReplyDoesNotAnswerTheNextRequest) {
  script_.on_send = [](const std::vector<uint8_t>& request, int n) {
    return n == 0 ? std::vector<Inbound>{{EchoReplyTo(request)}, {EchoReplyTo(request)}}
                  : std::vector<Inbound>{};
  };
  EXPECT_EQ(Run(2), (Events{kOpening, kReplyOutcome, ReplyLine(1), kTimeoutOutcome, kTimeoutLine,
                            kDoneAfterCycles}));
}

TEST_F(PingEngine, CountersRunAcrossJobsAndALateReplyToAnEarlierJobIsSkipped) {
  std::vector<uint8_t> first_job_request;
  script_.on_send = [&](const std::vector<uint8_t>& request, int n) {
    if (n == 0) first_job_request = request;
    // The first job gets no answers; the second job hears only the first job's late reply.
    return n < 2 ? std::vector<Inbound>{} : std::vector<Inbound>{{EchoReplyTo(first_job_request)}};
  };
  Run(2);
  const Events second = Run(2);
  EXPECT_EQ(second, (Events{kOpening, kTimeoutOutcome, kTimeoutLine, kTimeoutOutcome, kTimeoutLine,
                            kDoneAfterCycles}));
  ASSERT_EQ(script_.sent.size(), 4u);
  for (uint8_t n = 0; n < 4; ++n) {
    const auto& r = script_.sent[n];
    EXPECT_EQ(
        (std::vector<uint8_t>{r[4], r[5], r[6], r[7]}),
        (std::vector<uint8_t>{static_cast<uint8_t>(n + 1), 0, static_cast<uint8_t>(n + 1), 0}));
  }
}

TEST_F(PingEngine, FailuresEndInLinesAndExactlyOneDone) {
  struct Case {
    const char* name;
    std::function<void(pingtest::SocketScript&)> setup;
    std::string target;
    Events expected;
    size_t requests;
  };
  const auto answering = Answer([](int) { return true; });
  const Case cases[] = {
      {"unresolvable_name",
       [](auto&) {},
       "nowhere",
       {"send:405", ErrorLine("Host not found: nowhere"), kDoneEarly},
       0},
      {"socket_refused",
       [](auto& s) { s.open_error = EPERM; },
       "10.0.0.2",
       {ErrorLine("socket() - WSAError: 1"), kDoneEarly},
       0},
      // A request that never left proves nothing: its cycle reports no time-out.
      {"first_send_fails_host_silent",
       [](auto& s) { s.send_errors = {ENETUNREACH}; },
       "10.0.0.2",
       {kOpening, ErrorLine("sendto() - WSAError: 101"), kTimeoutOutcome, kTimeoutLine,
        kDoneAfterCycles},
       1},
      {"first_send_fails_host_answers",
       [&](auto& s) {
         s.send_errors = {ENETUNREACH};
         s.on_send = answering;
       },
       "10.0.0.2",
       {kOpening, ErrorLine("sendto() - WSAError: 101"), kReplyOutcome, ReplyLine(2),
        kDoneAfterCycles},
       1},
      {"wait_fails",
       [](auto& s) { s.wait_error = EBADF; },
       "10.0.0.2",
       {kOpening, ErrorLine("select() - WSAError: 9"), kDoneAfterCycles},
       1},
      // A failed read is not an answer: no outcome for that cycle.
      {"receive_fails",
       [](auto& s) {
         s.on_send = [](const std::vector<uint8_t>& request, int n) {
           return n == 0 ? std::vector<Inbound>{{{}, kTarget, 0, EIO}}
                         : std::vector<Inbound>{{EchoReplyTo(request)}};
         };
       },
       "10.0.0.2",
       {kOpening, ErrorLine("recvfrom() - WSAError: 5"), kReplyOutcome, ReplyLine(2),
        kDoneAfterCycles},
       2},
      {"close_fails_after_done",
       [&](auto& s) {
         s.close_error = EBADF;
         s.on_send = answering;
       },
       "10.0.0.2",
       {kOpening, kReplyOutcome, ReplyLine(1), kReplyOutcome, ReplyLine(2), kDoneAfterCycles,
        ErrorLine("closesocket() - WSAError: 9")},
       2},
  };
  for (const Case& c : cases) {
    script_ = {};
    c.setup(script_);
    EXPECT_EQ(Run(2, c.target), c.expected) << c.name;
    EXPECT_EQ(script_.sent.size(), c.requests) << c.name;
    EXPECT_EQ(script_.closed, c.name != std::string("socket_refused")) << c.name;
  }
}

TEST_F(PingEngine, AHostThatAnsweredArpDuringTheProbeIsReportedInUse) {
  using nettools::NeighbourState;
  struct Case {
    const char* name;
    std::optional<NeighbourEntry> entry;
    bool in_use;
  };
  // The probe below lasts 2000 ms of the fake clock (two 1000 ms waits).
  const Case cases[] = {
      {"reachable_confirmed_during_probe", NeighbourEntry{NeighbourState::kReachable, true, 1500},
       true},
      {"reachable_confirmed_before_probe", NeighbourEntry{NeighbourState::kReachable, true, 2500},
       false},
      {"reachable_without_link_address", NeighbourEntry{NeighbourState::kReachable, false, 10},
       false},
      {"stale", NeighbourEntry{NeighbourState::kStale, true, 10}, false},
      {"failed", NeighbourEntry{NeighbourState::kFailed, false, 10}, false},
      {"incomplete", NeighbourEntry{NeighbourState::kIncomplete, false, 10}, false},
      {"no_entry", std::nullopt, false},
  };
  const Events silent = {kOpening, kTimeoutOutcome, kTimeoutLine, kTimeoutOutcome, kTimeoutLine};
  for (const Case& c : cases) {
    script_ = {};
    neighbours_.entry = c.entry;
    neighbours_.looked_up.clear();
    Events expected = silent;
    if (c.in_use) {
      expected.push_back(kReplyOutcome);
      expected.push_back("post:500:2:0:Reply from: 10.0.0.2: answered ARP, ignores echo requests");
    }
    expected.push_back(kDoneAfterCycles);
    EXPECT_EQ(Run(2), expected) << c.name;
    EXPECT_EQ(neighbours_.looked_up, std::vector<uint32_t>{kTarget}) << c.name;
  }
}

TEST_F(PingEngine, NeighbourTableIsNotAskedWhenARequestWasAnswered) {
  neighbours_.entry = NeighbourEntry{NeighbourState::kReachable, true, 0};
  script_.on_send = Answer([](int n) { return n == 1; });
  const Events events = Run(2);
  EXPECT_EQ(std::count(events.begin(), events.end(), kReplyOutcome), 1);
  EXPECT_TRUE(neighbours_.looked_up.empty());
}

TEST_F(PingEngine, AStoppedEngineEndsTheJobWithOneDoneAndNoOutcome) {
  stop_.Signal();
  script_.on_send = Answer([](int) { return true; });
  EXPECT_EQ(Run(2), (Events{kOpening, kDoneAfterCycles}));
  EXPECT_EQ(script_.sent.size(), 1u);
  EXPECT_TRUE(script_.closed);
}

}  // namespace
}  // namespace ardvix::nettools
