// A small poll()-based event loop for programs and tests that run without Qt (the device
// simulator, lab tests). One thread only: the one that calls RunOnce.
#pragma once

#include <functional>
#include <map>
#include <memory>

#include "platform/readiness_watcher.h"

namespace ardvix::platform {

class PollReadinessWatcher : public ReadinessWatcher {
 public:
  WatchId Watch(int fd, std::function<void()> on_readable) override;
  void Unwatch(WatchId id) override;

  // Waits up to timeout_ms (-1: no limit) for a watched descriptor to become readable, then
  // calls the callback of each readable one once. A callback may watch or unwatch anything,
  // itself included; a watch removed during the round is not called, one added during it
  // waits for the next round. Returns how many callbacks ran, 0 on time-out or a signal,
  // -1 when poll fails.
  int RunOnce(int timeout_ms);

  bool empty() const { return watches_.empty(); }

 private:
  struct Entry {
    int fd;
    // Shared so that a callback that unwatches itself keeps running on a live object.
    std::shared_ptr<std::function<void()>> on_readable;
  };
  std::map<WatchId, Entry> watches_;
  WatchId next_id_ = 1;
};

}  // namespace ardvix::platform
