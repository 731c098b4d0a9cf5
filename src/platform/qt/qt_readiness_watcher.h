// ReadinessWatcher on Qt's event loop: one QSocketNotifier per watched descriptor.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <map>
#include <memory>

#include "platform/readiness_watcher.h"

namespace ardvix::platform::qt {

class QtReadinessWatcher : public ReadinessWatcher {
 public:
  QtReadinessWatcher() = default;
  ~QtReadinessWatcher() override = default;
  QtReadinessWatcher(const QtReadinessWatcher&) = delete;
  QtReadinessWatcher& operator=(const QtReadinessWatcher&) = delete;

  // Returns -1 for a negative descriptor.
  WatchId Watch(int fd, std::function<void()> on_readable) override;
  void Unwatch(WatchId id) override;

 private:
  struct Entry {
    QSocketNotifier* notifier = nullptr;  // a child of owner_
    std::function<void()> on_readable;
  };

  void Activated(WatchId id);

  // Parent of every notifier: notifiers unwatched from their own callback are deleted
  // later, and whatever is left goes with the watcher.
  std::unique_ptr<QObject> owner_ = std::make_unique<QObject>();
  std::map<WatchId, std::shared_ptr<Entry>> watches_;
  WatchId next_id_ = 1;
};

}  // namespace ardvix::platform::qt
