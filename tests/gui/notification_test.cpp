// Notifications into a Qt window from other threads: sent ones run on the UI thread before
// the sender goes on, posted ones in order, and nothing runs once the window is gone.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <future>
#include <thread>

#include "gui_test_support.h"

namespace ardvix::platform::qt::testing {
namespace {

class NotificationEvents : public RecordingEvents {
 public:
  std::vector<uint32_t> codes;
  std::thread::id handler_thread;
  std::atomic<bool> handled{false};
  void OnNotification(const Notification& n) override {
    handler_thread = std::this_thread::get_id();
    codes.push_back(n.code);
    handled = true;
  }
};

// Runs the UI thread's event loop until done() or a bound of time.
template <typename Done>
bool PumpUntil(Done done, int timeout_ms = 5000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < timeout_ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return done();
}

TEST(Notifications, SendFromAWorkerRunsOnTheUiThreadBeforeSendReturns) {
  NotificationEvents events;
  QtWindow window(SampleTemplate(), events, nullptr);
  std::shared_ptr<NotificationTarget> target = window.notification_target();
  std::atomic<bool> sent{false};
  bool handled_when_send_returned = false;
  std::thread worker([&] {
    target->Send({0x403, 1, 2, ""});
    handled_when_send_returned = events.handled;
    sent = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return sent.load(); }));
  worker.join();
  EXPECT_TRUE(handled_when_send_returned);
  EXPECT_EQ(events.handler_thread, std::this_thread::get_id());
  EXPECT_EQ(events.codes, std::vector<uint32_t>{0x403});
}

TEST(Notifications, PostedOnesRunInPostingOrderAfterTheSentOnesBeforeThem) {
  NotificationEvents events;
  QtWindow window(SampleTemplate(), events, nullptr);
  std::shared_ptr<NotificationTarget> target = window.notification_target();
  std::vector<uint32_t> expected;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (uint32_t i = 0; i < 40; ++i) target->Post({0x500 + i, 0, 0, "line"});
    target->Send({0x404, 0, 0, ""});
    target->Post({0x501, 0, 0, ""});
    done = true;
  });
  for (uint32_t i = 0; i < 40; ++i) expected.push_back(0x500 + i);
  expected.push_back(0x404);
  expected.push_back(0x501);
  EXPECT_TRUE(PumpUntil([&] { return done && events.codes.size() == expected.size(); }));
  worker.join();
  EXPECT_EQ(events.codes, expected);
}

TEST(Notifications, NothingRunsAndNobodyWaitsOnceTheWindowIsDestroyed) {
  NotificationEvents events;
  std::shared_ptr<NotificationTarget> target;
  {
    QtWindow window(SampleTemplate(), events, nullptr);
    target = window.notification_target();
    target->Post({0x501, 0, 0, ""});  // still queued when the run ends: dropped
    events.on_init = [&] { window.EndDialog(0); };
    window.RunModal();
  }
  auto send = std::async(std::launch::async, [&] { target->Send({0x403, 0, 0, ""}); });
  EXPECT_EQ(send.wait_for(std::chrono::seconds(2)), std::future_status::ready);
  target->Post({0x501, 0, 0, ""});
  QCoreApplication::processEvents();
  EXPECT_TRUE(events.codes.empty());
}

}  // namespace
}  // namespace ardvix::platform::qt::testing
