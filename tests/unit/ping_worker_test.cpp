// The worker thread: its one-job slot, jobs handed over while another runs, and a prompt
// end when it is destroyed in the middle of a job.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "nettools/ping_worker.h"
#include "ping_fakes.h"

namespace ardvix::nettools {
namespace {

// Holds the job that resolves "hold" until Release; counts how many are held.
class ResolutionGate {
 public:
  void Enter(const std::string& name) {
    if (name != "hold") return;
    std::unique_lock lock(mutex_);
    ++held_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return released_; });
  }
  bool WaitUntilHeld(int timeout_ms) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                             [this] { return held_ > 0; });
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int held_ = 0;
  bool released_ = false;
};

class PingWorkerTest : public ::testing::Test {
 protected:
  PingWorkerTest() {
    for (const char* name : {"hold", "b", "c"}) host_.table[name] = {pingtest::kTarget};
    host_.on_resolve = [this](const std::string& name) { gate_.Enter(name); };
    script_.on_send = [](const std::vector<uint8_t>& request, int) {
      return std::vector<pingtest::Inbound>{{pingtest::EchoReplyTo(request)}};
    };
    env_.sockets = &factory_;
    env_.host = &host_;
    env_.clock = &clock_;
    env_.pause_ms = 0;
  }
  ~PingWorkerTest() override { gate_.Release(); }

  pingtest::FakeClock clock_;
  pingtest::SocketScript script_;
  pingtest::FakeIcmpSocketFactory factory_{script_, clock_};
  pingtest::TableHostInfo host_;
  ResolutionGate gate_;
  PingEnvironment env_;
};

TEST_F(PingWorkerTest, TwoJobsHandedOverDuringAJobRunOnlyTheLaterOneNext) {
  auto first = std::make_shared<pingtest::RecordingTarget>();
  auto second = std::make_shared<pingtest::RecordingTarget>();
  auto third = std::make_shared<pingtest::RecordingTarget>();
  {
    CPingWorker worker(env_);
    worker.StartJob(1, "hold", first);
    ASSERT_TRUE(gate_.WaitUntilHeld(5000));
    worker.StartJob(1, "b", second);
    worker.StartJob(2, "c", third);
    gate_.Release();
    ASSERT_TRUE(third->WaitFor("post:501", 1, 5000));
  }
  EXPECT_EQ(host_.Resolved(), (std::vector<std::string>{"hold", "c"}));
  EXPECT_EQ(first->Events().front(), "post:500:1:0:Pinging hold [10.0.0.2] with 32 bytes of data:");
  EXPECT_EQ(first->Count("post:501"), 1);
  EXPECT_TRUE(second->Events().empty());
  EXPECT_EQ(third->Events().front(), "post:500:1:0:Pinging c [10.0.0.2] with 32 bytes of data:");
  EXPECT_EQ(third->Count("send:403"), 2);  // the later job's own count
}

TEST_F(PingWorkerTest, AJobHandedOverDuringAJobRunsNextWithItsOwnTarget) {
  auto first = std::make_shared<pingtest::RecordingTarget>();
  auto second = std::make_shared<pingtest::RecordingTarget>();
  CPingWorker worker(env_);
  worker.StartJob(2, "hold", first);
  ASSERT_TRUE(gate_.WaitUntilHeld(5000));
  worker.StartJob(1, "b", second);
  gate_.Release();
  ASSERT_TRUE(second->WaitFor("post:501", 1, 5000));
  EXPECT_EQ(first->Events().front(), "post:500:1:0:Pinging hold [10.0.0.2] with 32 bytes of data:");
  EXPECT_EQ(first->Count("send:403"), 2);
  EXPECT_EQ(second->Events().front(), "post:500:1:0:Pinging b [10.0.0.2] with 32 bytes of data:");
}

TEST_F(PingWorkerTest, DestroyingTheWorkerDuringTheRealPauseIsPromptAndEndsTheJobOnce) {
  env_.pause_ms = 5000;
  env_.wait_ms = 1000;
  auto owner = std::make_shared<pingtest::RecordingTarget>();
  auto worker = std::make_unique<CPingWorker>(env_);
  worker->StartJob(2, "b", owner);
  ASSERT_TRUE(owner->WaitFor("post:500:1", 1, 5000));  // the job is in its first pause
  const auto start = std::chrono::steady_clock::now();
  worker.reset();
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took, std::chrono::milliseconds(1000));
  EXPECT_EQ(owner->Count("post:501"), 1);
  EXPECT_EQ(owner->Count("send:"), 0);
  EXPECT_TRUE(script_.closed);
}

TEST_F(PingWorkerTest, DestroyingTheWorkerDuringTheWaitIsPrompt) {
  // The wait of a real socket blocks until its time limit or the stop event; this fake
  // blocks in its wait the same way, on the stop event it is given.
  class BlockingFactory : public platform::IcmpSocketFactory {
   public:
    class Socket : public platform::IcmpSocket {
     public:
      platform::IcmpSocketKind kind() const override { return platform::IcmpSocketKind::kRaw; }
      platform::IcmpSendResult SendTo(std::span<const uint8_t> m, uint32_t) override {
        return {static_cast<int>(m.size()), 0, 0};
      }
      platform::IcmpWaitResult WaitReadable(uint32_t ms, platform::StopEvent& stop) override {
        entered->store(true);
        return {stop.WaitFor(ms) ? platform::IcmpWaitState::kStopped
                                 : platform::IcmpWaitState::kTimedOut,
                0};
      }
      platform::IcmpReceiveResult Receive(std::span<uint8_t>) override { return {}; }
      int Close() override { return 0; }
      std::atomic<bool>* entered = nullptr;
    };
    platform::IcmpOpenResult Open() override {
      auto socket = std::make_unique<Socket>();
      socket->entered = &entered;
      return {std::move(socket), 0};
    }
    std::atomic<bool> entered{false};
  } blocking;
  env_.sockets = &blocking;
  env_.wait_ms = 60000;
  auto owner = std::make_shared<pingtest::RecordingTarget>();
  auto worker = std::make_unique<CPingWorker>(env_);
  worker->StartJob(2, "b", owner);
  for (int i = 0; i < 500 && !blocking.entered.load(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(blocking.entered.load());
  const auto start = std::chrono::steady_clock::now();
  worker.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_EQ(owner->Events().back(), "post:501:0:1");
  EXPECT_EQ(owner->Count("post:501"), 1);
}

}  // namespace
}  // namespace ardvix::nettools
