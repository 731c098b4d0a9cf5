// PosixUdpSocket::WaitDraining over the loopback interface only: unicast to 127.0.0.1 from a
// plain socket on a second thread, nothing broadcast.
#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/posix/poll_readiness_watcher.h"
#include "platform/posix/posix_udp_socket.h"

namespace ardvix::platform {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr size_t kAnswerBuffer = 300;
// Far below what a burst needs: the kernel keeps a few dozen 300-byte datagrams at most.
constexpr int kSmallReceiveBuffer = 16 * 1024;

// Sends `count` datagrams of `bytes` bytes to 127.0.0.1:port from its own thread, in bursts
// of `burst` with a pause between bursts. Datagram i is filled with the byte i % 256.
class LoopbackSender {
 public:
  LoopbackSender(uint16_t port, int count, size_t bytes, int burst = 10)
      : thread_([=] {
          const int fd = socket(AF_INET, SOCK_DGRAM, 0);
          if (fd < 0) return;
          sockaddr_in to{};
          to.sin_family = AF_INET;
          to.sin_port = htons(port);
          to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
          std::this_thread::sleep_for(milliseconds(20));  // the receiver is waiting by now
          for (int i = 0; i < count; ++i) {
            const std::vector<uint8_t> datagram(bytes, static_cast<uint8_t>(i));
            sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to),
                   sizeof to);
            if ((i + 1) % burst == 0) std::this_thread::sleep_for(milliseconds(2));
          }
          close(fd);
        }) {}
  ~LoopbackSender() { Join(); }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::thread thread_;
};

class WaitDrainingTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(receiver_.Open()); }

  // Runs the event loop, one Receive per readable callback, until `expected` datagrams were
  // read or nothing more comes. Gives the first byte of each datagram read.
  std::vector<int> ReadThroughTheLoop(size_t expected) {
    std::vector<int> first_bytes;
    receiver_.SetReadableCallback([&] {
      std::vector<uint8_t> buffer(kAnswerBuffer);
      const ReceiveResult r = receiver_.Receive(buffer);
      if (r.ok()) first_bytes.push_back(buffer[0]);
    });
    for (int round = 0; round < 5000 && first_bytes.size() < expected; ++round) {
      if (watcher_.RunOnce(200) == 0) break;
    }
    return first_bytes;
  }

  PollReadinessWatcher watcher_;
  PosixUdpSocket receiver_{watcher_, kSmallReceiveBuffer};
};

TEST_F(WaitDrainingTest, BurstLargerThanTheReceiveBufferIsKeptWholeAndInOrder) {
  constexpr int kBurst = 400;
  {
    LoopbackSender sender(receiver_.LocalPort(), kBurst, 300);
    receiver_.WaitDraining(1500);
    sender.Join();
  }
  const std::vector<int> got = ReadThroughTheLoop(kBurst);
  ASSERT_EQ(got.size(), static_cast<size_t>(kBurst));
  for (int i = 0; i < kBurst; ++i) ASSERT_EQ(got[i], i % 256) << "datagram " << i;
  EXPECT_EQ(receiver_.kept(), 0u);
  EXPECT_EQ(watcher_.RunOnce(50), 0);  // everything read: the loop is quiet again
}

TEST_F(WaitDrainingTest, APlainSleepLosesWhatTheSameBufferCannotHold) {
  // The control for the test above: the small buffer really does drop part of the burst.
  constexpr int kBurst = 400;
  {
    LoopbackSender sender(receiver_.LocalPort(), kBurst, 300);
    std::this_thread::sleep_for(milliseconds(1500));
    sender.Join();
  }
  const std::vector<int> got = ReadThroughTheLoop(kBurst);
  std::cout << "a plain sleep kept " << got.size() << " of " << kBurst << "\n";
  EXPECT_LT(got.size(), static_cast<size_t>(kBurst));
}

TEST_F(WaitDrainingTest, KeptDatagramsComeFirstAndKeepTheirSizeAndSource) {
  {
    LoopbackSender during(receiver_.LocalPort(), 2, 400, 2);  // longer than the buffer
    receiver_.WaitDraining(300);
  }
  ASSERT_EQ(receiver_.kept(), 2u);
  { LoopbackSender after(receiver_.LocalPort(), 1, 10); }  // stays in the kernel
  std::this_thread::sleep_for(milliseconds(50));

  std::vector<uint8_t> buffer(kAnswerBuffer);
  ReceiveResult first = receiver_.Receive(buffer);
  EXPECT_EQ(first.error, ReceiveError::kTruncated);
  EXPECT_EQ(first.bytes, 300);
  EXPECT_EQ(first.source_address, "127.0.0.1");
  EXPECT_NE(first.source_port, 0);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(receiver_.Receive(buffer).bytes, 300);
  EXPECT_EQ(buffer[0], 1);
  const ReceiveResult third = receiver_.Receive(buffer);
  EXPECT_TRUE(third.ok());
  EXPECT_EQ(third.bytes, 10);
  EXPECT_EQ(receiver_.Receive(buffer).error, ReceiveError::kWouldBlock);
}

TEST_F(WaitDrainingTest, ClosingDiscardsWhatWasKeptAndSilencesTheLoop) {
  {
    LoopbackSender sender(receiver_.LocalPort(), 3, 300);
    receiver_.WaitDraining(300);
  }
  ASSERT_EQ(receiver_.kept(), 3u);
  int calls = 0;
  receiver_.SetReadableCallback([&] { ++calls; });
  receiver_.Close();
  EXPECT_EQ(receiver_.kept(), 0u);
  EXPECT_TRUE(watcher_.empty());
  ASSERT_TRUE(receiver_.Open());
  std::vector<uint8_t> buffer(kAnswerBuffer);
  EXPECT_EQ(receiver_.Receive(buffer).error, ReceiveError::kWouldBlock);
  EXPECT_EQ(watcher_.RunOnce(50), 0);
  EXPECT_EQ(calls, 0);
}

TEST(WaitDraining, WaitsTheWholeTimeWhetherOpenOrClosed) {
  PollReadinessWatcher watcher;
  for (const bool open : {true, false}) {
    PosixUdpSocket socket(watcher);
    if (open) {
      ASSERT_TRUE(socket.Open());
    }
    const auto start = steady_clock::now();
    socket.WaitDraining(120);
    EXPECT_GE(steady_clock::now() - start, milliseconds(120)) << (open ? "open" : "closed");
  }
}

}  // namespace
}  // namespace ardvix::platform
