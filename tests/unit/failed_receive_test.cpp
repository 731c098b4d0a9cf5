#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/fake_udp_network.h"
#include "platform/posix/poll_readiness_watcher.h"
#include "platform/posix/posix_udp_socket.h"
#include "protocol/channel_socket.h"
#include "protocol/failed_receive.h"
#include "support/lambda_target.h"
#include "support/recording_output.h"

namespace ardvix::protocol {
namespace {

using platform::ReceiveError;
using testing::RecordingOutput;

struct FailureCase {
  const char* name;
  ReceiveError error;
  int code;
  std::vector<std::string> shown;
};

class FailedReceive : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailedReceive, ShowsTheMessagesAndClosesTheChannel) {
  const FailureCase& c = GetParam();
  headless::FakeUdpNetwork net;
  CBroadcastSocket channel(net);
  RecordingOutput out;
  channel.OpenIfNeeded();
  if (c.error == ReceiveError::kWouldBlock) {
    net.SignalReadable(channel.local_port());
  } else {
    net.DeliverError(channel.local_port(), c.error, c.code);
  }
  std::array<uint8_t, 300> buffer{};
  const platform::ReceiveResult r = channel.Receive(buffer);
  ASSERT_FALSE(r.ok());
  HandleFailedReceive(r, buffer, DiscoveryReceiveMessages(), channel, out);
  EXPECT_EQ(out.events, c.shown);
  EXPECT_FALSE(channel.is_open());
  EXPECT_EQ(channel.needs_create(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, FailedReceive,
    ::testing::Values(
        FailureCase{"NothingWaiting",
                    ReceiveError::kWouldBlock,
                    0,
                    {"box:Socket error when receiving packets.. restart broadcasting~!"}},
        FailureCase{"OtherError",
                    ReceiveError::kOther,
                    104,
                    {"box:Socket error when receiving packets.. restart broadcasting~!",
                     "box:OnBroadReceive error: 104"}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(FailedReceiveMessages, EachChannelHasItsOwnTexts) {
  EXPECT_EQ(FormatErrorMessage(IpChangeReceiveMessages().error_template, 11),
            "IP Change Receive error: 11");
  EXPECT_EQ(FormatErrorMessage(VideoSetReceiveMessages().error_template, 9), "OnVideoSet error: 9");
  EXPECT_EQ(IpChangeReceiveMessages().first, "Receive Socket error when receiving packet.. ~!");
  EXPECT_EQ(VideoSetReceiveMessages().first,
            "Chandge Voideo set Socket error when receiving packets.. restart broadcasting~!");
}

// A real 400-byte datagram on loopback reaches a channel's socket: the receive sees it as
// truncated and the "too large" path runs, with the datagram's start in the log.
TEST(FailedReceiveReal, DatagramOver300BytesTakesTheTooLargePath) {
  platform::PollReadinessWatcher watcher;
  platform::PosixUdpSocketFactory factory(watcher);
  CBroadcastSocket channel(factory);
  RecordingOutput out;
  int handled = 0;
  channel.SetOwner(std::make_shared<testing::LambdaTarget>([&](const platform::Notification&) {
    ++handled;
    std::array<uint8_t, 300> buffer{};
    const platform::ReceiveResult r = channel.Receive(buffer);
    ASSERT_EQ(r.error, ReceiveError::kTruncated);
    HandleFailedReceive(r, buffer, DiscoveryReceiveMessages(), channel, out);
  }));
  channel.OpenIfNeeded();
  ASSERT_TRUE(channel.is_open());

  const int sender = ::socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_GE(sender, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(channel.local_port());
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string datagram = "start-of-a-long-answer";
  datagram.resize(400, 'z');
  ASSERT_EQ(::sendto(sender, datagram.data(), datagram.size(), 0,
                     reinterpret_cast<const sockaddr*>(&to), sizeof to),
            400);
  ::close(sender);

  for (int i = 0; i < 20 && handled == 0; ++i) watcher.RunOnce(100);
  ASSERT_EQ(handled, 1);
  ASSERT_EQ(out.events.size(), 3u);
  EXPECT_EQ(out.events[0], "box:Socket error when receiving packets.. restart broadcasting~!");
  EXPECT_EQ(out.events[1], "box:The datagram was too large and was truncated");
  EXPECT_EQ(out.events[2], "log:" + datagram.substr(0, 300));
  EXPECT_FALSE(channel.is_open());
}

}  // namespace
}  // namespace ardvix::protocol
