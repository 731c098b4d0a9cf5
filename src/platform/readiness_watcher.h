// Lets posix sockets hear from the event loop when a file descriptor becomes readable.
// Implemented by each backend that owns a real event loop (Qt: QSocketNotifier).
// Threads: UI thread only. The callback runs from the event loop while the descriptor is
// readable (level-triggered). Unwatch from inside the callback is safe; after Unwatch the
// callback is not called again.
#pragma once

#include <functional>

namespace ardvix::platform {

class ReadinessWatcher {
 public:
  virtual ~ReadinessWatcher() = default;
  using WatchId = int;
  virtual WatchId Watch(int fd, std::function<void()> on_readable) = 0;
  virtual void Unwatch(WatchId id) = 0;
};

}  // namespace ardvix::platform
