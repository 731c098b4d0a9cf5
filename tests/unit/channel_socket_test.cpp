#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "nettools/ping_messages.h"
#include "platform/headless/fake_udp_network.h"
#include "protocol/auth_socket.h"
#include "protocol/channel_socket.h"
#include "protocol/command_datagram.h"
#include "protocol/notifications.h"
#include "support/lambda_target.h"

namespace ardvix::protocol {
namespace {

using headless::FakeUdpNetwork;

std::vector<uint8_t> Frame() {
  std::vector<uint8_t> f(kFrameLength);
  BuildFrame(f, kCmdDiscover, {"LI=10.0.0.1\n"});
  return f;
}

TEST(Channel, OpenChannelKeepsItsPortAndACloseGivesANewOne) {
  FakeUdpNetwork net;
  CBroadcastSocket channel(net);
  EXPECT_EQ(channel.needs_create(), 1);
  channel.SendCommand(Frame());
  channel.SendCommand(Frame());
  channel.Close();
  EXPECT_EQ(channel.needs_create(), 1);
  EXPECT_FALSE(channel.is_open());
  channel.SendCommand(Frame());

  const auto sent = net.sent();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].local_port, sent[1].local_port);
  EXPECT_NE(sent[2].local_port, sent[0].local_port);
  for (const auto& d : sent) {
    EXPECT_EQ(d.address, "255.255.255.255");
    EXPECT_EQ(d.port, DEVICE_PORT);
    EXPECT_EQ(d.bytes.size(), kFrameLength);
    EXPECT_EQ(d.broadcast_on, 1);
  }
  // Broadcasting is enabled before every send, also on a socket that already has it.
  EXPECT_EQ(net.BroadcastCalls(sent[0].local_port), 2);
}

TEST(Channel, FlagSetWithoutCloseKeepsReceivingUntilTheNextSendReplacesTheSocket) {
  FakeUdpNetwork net;
  CIpChangeSocket channel(net);
  channel.SendCommand(Frame());
  const uint16_t old_port = channel.local_port();
  channel.MarkNeedsCreate();
  EXPECT_TRUE(net.IsPortOpen(old_port));
  channel.SendCommand(Frame());
  EXPECT_FALSE(net.IsPortOpen(old_port));
  EXPECT_NE(channel.local_port(), old_port);
}

TEST(Channel, ClosingFromInsideItsOwnReadableCallbackIsSafe) {
  FakeUdpNetwork net;
  CBroadcastSocket channel(net);
  std::vector<uint32_t> seen;
  channel.SetOwner(std::make_shared<testing::LambdaTarget>([&](const platform::Notification& n) {
    seen.push_back(n.code);
    std::array<uint8_t, 300> buffer{};
    channel.Receive(buffer);
    channel.Close();
  }));
  channel.OpenIfNeeded();
  net.Deliver(channel.local_port(), {1, 2, 3}, "10.0.0.9", 7005);
  net.Deliver(channel.local_port(), {4, 5, 6}, "10.0.0.9", 7005);
  while (net.DispatchOneReadable()) {
  }
  EXPECT_EQ(seen, std::vector<uint32_t>{WM_BROADCAST_RECEIVE});
  EXPECT_FALSE(channel.is_open());
}

struct AuthCase {
  const char* name;
  std::vector<uint8_t> answer;
  uint32_t notification;
};

class CredentialAnswers : public ::testing::TestWithParam<AuthCase> {};

TEST_P(CredentialAnswers, OnlyTheExactTextsOkAndNoHaveAMeaning) {
  FakeUdpNetwork net;
  CAuthSocket channel(net);
  std::vector<uint32_t> seen;
  channel.SetOwner(std::make_shared<testing::LambdaTarget>(
      [&](const platform::Notification& n) { seen.push_back(n.code); }));
  channel.OpenIfNeeded();
  net.Deliver(channel.local_port(), GetParam().answer, "10.0.0.9", 7005);
  net.DispatchOneReadable();
  EXPECT_EQ(seen, std::vector<uint32_t>{GetParam().notification});
}

INSTANTIATE_TEST_SUITE_P(Answers, CredentialAnswers,
                         ::testing::Values(AuthCase{"OK", {'O', 'K'}, WM_AUTH_OK},
                                           AuthCase{"NO", {'N', 'O'}, WM_AUTH_FAIL},
                                           AuthCase{
                                               "OkWithTerminator", {'O', 'K', 0, 'x'}, WM_AUTH_OK},
                                           AuthCase{"LowerCase", {'o', 'k'}, WM_AUTH_ERROR},
                                           AuthCase{"LineEnd", {'O', 'K', '\n'}, WM_AUTH_ERROR},
                                           AuthCase{"Empty", {}, WM_AUTH_ERROR}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(CredentialAnswers, ErrorNotificationDiffersFromEveryOther) {
  for (uint32_t other : {WM_BROADCAST_RECEIVE, nettools::WM_PING_REPLY, nettools::WM_PING_TIMEOUT,
                         nettools::WM_PING_NOHOST, WM_AUTH_OK, WM_AUTH_FAIL, WM_IPCHANGE_RECEIVE,
                         WM_VIDEOSET_RECEIVE, nettools::WM_PING_TEXT, nettools::WM_PING_DONE}) {
    EXPECT_NE(WM_AUTH_ERROR, other);
  }
}

}  // namespace
}  // namespace ardvix::protocol
