#include <fcntl.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "platform/posix/poll_readiness_watcher.h"

namespace ardvix::platform {
namespace {

// A pipe with one byte waiting: its read end stays readable until drained.
struct ReadablePipe {
  int fds[2] = {-1, -1};
  ReadablePipe() {
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) (void)!write(fds[1], "x", 1);
  }
  ~ReadablePipe() {
    close(fds[0]);
    close(fds[1]);
  }
  int read_end() const { return fds[0]; }
};

TEST(PollReadinessWatcherTest, NothingReadableTimesOut) {
  PollReadinessWatcher watcher;
  int fds[2];
  ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
  int calls = 0;
  watcher.Watch(fds[0], [&] { ++calls; });
  EXPECT_EQ(watcher.RunOnce(20), 0);
  EXPECT_EQ(calls, 0);
  close(fds[0]);
  close(fds[1]);
}

TEST(PollReadinessWatcherTest, LevelTriggeredUntilUnwatched) {
  PollReadinessWatcher watcher;
  ReadablePipe pipe;
  int calls = 0;
  const auto id = watcher.Watch(pipe.read_end(), [&] { ++calls; });
  EXPECT_EQ(watcher.RunOnce(1000), 1);
  EXPECT_EQ(watcher.RunOnce(1000), 1);  // still unread, so called again
  watcher.Unwatch(id);
  EXPECT_EQ(watcher.RunOnce(20), 0);
  EXPECT_EQ(calls, 2);
}

TEST(PollReadinessWatcherTest, WatchUnwatchedByAnEarlierCallbackIsNotCalled) {
  PollReadinessWatcher watcher;
  ReadablePipe first_pipe, second_pipe;
  ReadinessWatcher::WatchId first = 0, second = 0;
  int first_calls = 0, second_calls = 0;
  // Whichever runs first removes the other, so exactly one runs in the round.
  first = watcher.Watch(first_pipe.read_end(), [&] {
    ++first_calls;
    watcher.Unwatch(second);
  });
  second = watcher.Watch(second_pipe.read_end(), [&] {
    ++second_calls;
    watcher.Unwatch(first);
  });
  EXPECT_EQ(watcher.RunOnce(1000), 1);
  EXPECT_EQ(first_calls + second_calls, 1);
}

TEST(PollReadinessWatcherTest, CallbackThatUnwatchesItselfFinishesOnALiveObject) {
  PollReadinessWatcher watcher;
  ReadablePipe pipe;
  ReadinessWatcher::WatchId self = 0;
  std::string seen;
  const std::string state(64, 'q');  // copied into the callback that is being removed
  self = watcher.Watch(pipe.read_end(), [&, state] {
    watcher.Unwatch(self);
    seen = state;
  });
  EXPECT_EQ(watcher.RunOnce(1000), 1);
  EXPECT_EQ(seen, state);
  EXPECT_TRUE(watcher.empty());
}

TEST(PollReadinessWatcherTest, WatchAddedDuringARoundWaitsForTheNext) {
  PollReadinessWatcher watcher;
  ReadablePipe first_pipe, added_pipe;
  int added_calls = 0;
  bool added = false;
  watcher.Watch(first_pipe.read_end(), [&] {
    if (!added) watcher.Watch(added_pipe.read_end(), [&] { ++added_calls; });
    added = true;
  });
  EXPECT_EQ(watcher.RunOnce(1000), 1);
  EXPECT_EQ(added_calls, 0);
  EXPECT_EQ(watcher.RunOnce(1000), 2);
  EXPECT_EQ(added_calls, 1);
}

}  // namespace
}  // namespace ardvix::platform
