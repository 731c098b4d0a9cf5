// PosixUdpSocket over the loopback interface only: unicast to 127.0.0.1, nothing broadcast.
#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "platform/posix/poll_readiness_watcher.h"
#include "platform/posix/posix_udp_socket.h"

namespace ardvix::platform {
namespace {

constexpr size_t kAnswerBuffer = 300;

class PosixUdpSocketTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(receiver_.Open());
    ASSERT_TRUE(sender_.Open());
  }

  void SendToReceiver(size_t bytes, uint8_t fill = 0x5A) {
    const std::vector<uint8_t> datagram(bytes, fill);
    ASSERT_EQ(sender_.SendTo(datagram, "127.0.0.1", receiver_.LocalPort()),
              static_cast<int>(bytes));
  }

  PollReadinessWatcher watcher_;
  PosixUdpSocket receiver_{watcher_};
  PosixUdpSocket sender_{watcher_};
};

struct SizeCase {
  const char* name;
  size_t sent;
  int stored;
  ReceiveError error;
};

class DatagramSizeTest : public PosixUdpSocketTest,
                         public ::testing::WithParamInterface<SizeCase> {};

TEST_P(DatagramSizeTest, LongerThanTheBufferIsSeenAsTruncated) {
  const SizeCase& c = GetParam();
  SendToReceiver(c.sent);
  std::vector<uint8_t> buffer(kAnswerBuffer, 0);
  const ReceiveResult r = receiver_.Receive(buffer);
  EXPECT_EQ(r.error, c.error);
  EXPECT_EQ(r.bytes, c.stored);
  EXPECT_EQ(r.source_address, "127.0.0.1");
  EXPECT_EQ(r.source_port, sender_.LocalPort());
  EXPECT_EQ(buffer[static_cast<size_t>(c.stored) - 1], 0x5A);
  if (static_cast<size_t>(c.stored) < buffer.size()) {
    EXPECT_EQ(buffer[c.stored], 0);
  }
  // The truncated rest is gone: nothing else waits.
  EXPECT_EQ(receiver_.Receive(buffer).error, ReceiveError::kWouldBlock);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, DatagramSizeTest,
    ::testing::Values(SizeCase{"one_byte", 1, 1, ReceiveError::kNone},
                      SizeCase{"exactly_the_buffer", 300, 300, ReceiveError::kNone},
                      SizeCase{"one_byte_over", 301, 300, ReceiveError::kTruncated},
                      SizeCase{"four_hundred", 400, 300, ReceiveError::kTruncated}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(PosixUdpSocketTest, NothingWaitingGivesWouldBlockWithoutBlocking) {
  std::vector<uint8_t> buffer(kAnswerBuffer);
  const ReceiveResult r = receiver_.Receive(buffer);
  EXPECT_EQ(r.error, ReceiveError::kWouldBlock);
  EXPECT_EQ(r.bytes, -1);
  EXPECT_TRUE(r.error_code == EAGAIN || r.error_code == EWOULDBLOCK);
}

TEST_F(PosixUdpSocketTest, ClosedSocketRefusesEverythingWithAnError) {
  receiver_.Close();
  std::vector<uint8_t> buffer(kAnswerBuffer);
  EXPECT_FALSE(receiver_.IsOpen());
  EXPECT_EQ(receiver_.LocalPort(), 0);
  EXPECT_FALSE(receiver_.SetBroadcast(1));
  EXPECT_EQ(receiver_.SendTo(buffer, "127.0.0.1", 9), -1);
  const ReceiveResult r = receiver_.Receive(buffer);
  EXPECT_EQ(r.error, ReceiveError::kOther);
  EXPECT_EQ(r.error_code, EBADF);
  receiver_.Close();  // a second close is harmless
}

TEST_F(PosixUdpSocketTest, UnparsableAddressIsRefused) {
  const std::vector<uint8_t> datagram(10);
  EXPECT_EQ(sender_.SendTo(datagram, "not-an-address", receiver_.LocalPort()), -1);
  EXPECT_EQ(sender_.SendTo(datagram, "256.1.1.1", receiver_.LocalPort()), -1);
}

TEST_F(PosixUdpSocketTest, ReadableCallbackRunsOncePerWaitingDatagram) {
  int reads = 0;
  receiver_.SetReadableCallback([&] {
    std::vector<uint8_t> buffer(kAnswerBuffer);
    if (receiver_.Receive(buffer).ok()) ++reads;
  });
  for (int i = 0; i < 3; ++i) SendToReceiver(20);
  for (int round = 0; round < 10 && reads < 3; ++round) watcher_.RunOnce(1000);
  EXPECT_EQ(reads, 3);
  EXPECT_EQ(watcher_.RunOnce(50), 0);  // nothing left: no more calls
}

TEST_F(PosixUdpSocketTest, ClosingInsideTheCallbackStopsFurtherCalls) {
  int calls = 0;
  receiver_.SetReadableCallback([&] {
    ++calls;
    receiver_.Close();  // leaves the datagram unread
  });
  SendToReceiver(20);
  SendToReceiver(20);
  EXPECT_EQ(watcher_.RunOnce(1000), 1);
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(receiver_.IsOpen());
  EXPECT_TRUE(watcher_.empty());
  EXPECT_EQ(watcher_.RunOnce(50), 0);
}

TEST_F(PosixUdpSocketTest, DestroyingTheSocketInsideItsCallbackIsSafe) {
  auto doomed = std::make_unique<PosixUdpSocket>(watcher_);
  ASSERT_TRUE(doomed->Open());
  std::string captured_state(100, 'x');  // lives in the callback being destroyed
  int calls = 0;
  doomed->SetReadableCallback([&doomed, &calls, captured_state] {
    doomed.reset();
    calls += static_cast<int>(captured_state.size());
  });
  const std::vector<uint8_t> datagram(20);
  ASSERT_EQ(sender_.SendTo(datagram, "127.0.0.1", doomed->LocalPort()), 20);
  EXPECT_EQ(watcher_.RunOnce(1000), 1);
  EXPECT_EQ(calls, 100);
  EXPECT_EQ(doomed, nullptr);
  EXPECT_TRUE(watcher_.empty());
}

TEST_F(PosixUdpSocketTest, ReopeningInsideTheCallbackWatchesTheNewSocket) {
  uint16_t old_port = receiver_.LocalPort();
  int calls = 0;
  receiver_.SetReadableCallback([&] {
    ++calls;
    std::vector<uint8_t> buffer(kAnswerBuffer);
    receiver_.Receive(buffer);
    receiver_.Open();
  });
  SendToReceiver(20);
  EXPECT_EQ(watcher_.RunOnce(1000), 1);
  ASSERT_TRUE(receiver_.IsOpen());
  EXPECT_NE(receiver_.LocalPort(), old_port);
  SendToReceiver(20);
  EXPECT_EQ(watcher_.RunOnce(1000), 1);
  EXPECT_EQ(calls, 2);
}

TEST_F(PosixUdpSocketTest, SocketWithoutCallbackIsNotWatched) {
  // A level-triggered watch that nobody reads would keep the event loop spinning.
  EXPECT_TRUE(watcher_.empty());
  receiver_.SetReadableCallback([] {});
  EXPECT_FALSE(watcher_.empty());
  receiver_.SetReadableCallback(nullptr);
  EXPECT_TRUE(watcher_.empty());
}

TEST_F(PosixUdpSocketTest, OpenAgainClosesTheOldSocketAndTakesANewPort) {
  const uint16_t first = receiver_.LocalPort();
  ASSERT_NE(first, 0);
  ASSERT_TRUE(receiver_.Open());
  const uint16_t second = receiver_.LocalPort();
  ASSERT_NE(second, 0);
  EXPECT_NE(first, second);  // the kernel picks ephemeral ports at random

  // The first port was released: another socket can bind it.
  const int probe = socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_GE(probe, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(first);
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  EXPECT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address), 0)
      << strerror(errno);
  close(probe);
}

TEST_F(PosixUdpSocketTest, LargeReceiveBufferIsInForce) {
  int granted = 0;
  socklen_t length = sizeof granted;
  ASSERT_EQ(getsockopt(receiver_.fd(), SOL_SOCKET, SO_RCVBUF, &granted, &length), 0);
  std::cout << "SO_RCVBUF read back: " << granted << " bytes (euid " << geteuid() << ")\n";
  RecordProperty("so_rcvbuf_bytes", granted);
  if (geteuid() == 0) {
    // The kernel reports twice what it granted.
    EXPECT_GE(granted, 2 * PosixUdpSocket::kReceiveBufferBytes);
  } else {
    EXPECT_GT(granted, 0);
  }
}

TEST_F(PosixUdpSocketTest, BroadcastOptionFollowsTheIntegerGiven) {
  auto read_option = [&] {
    int value = -1;
    socklen_t length = sizeof value;
    getsockopt(sender_.fd(), SOL_SOCKET, SO_BROADCAST, &value, &length);
    return value;
  };
  EXPECT_EQ(read_option(), 0);
  EXPECT_TRUE(sender_.SetBroadcast(1));
  EXPECT_EQ(read_option(), 1);
  EXPECT_TRUE(sender_.SetBroadcast(1));  // again on a socket that has it
  EXPECT_EQ(read_option(), 1);
  EXPECT_TRUE(sender_.SetBroadcast(0));
  EXPECT_EQ(read_option(), 0);
}

TEST(PosixUdpSocketFactoryTest, MakesClosedSocketsThatOpen) {
  PollReadinessWatcher watcher;
  PosixUdpSocketFactory factory(watcher);
  std::unique_ptr<UdpSocket> socket = factory.CreateUdpSocket();
  ASSERT_NE(socket, nullptr);
  EXPECT_FALSE(socket->IsOpen());
  EXPECT_TRUE(socket->Open());
  EXPECT_NE(socket->LocalPort(), 0);
}

}  // namespace
}  // namespace ardvix::platform
