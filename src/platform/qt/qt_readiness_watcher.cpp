#include "platform/qt/qt_readiness_watcher.h"

#include <utility>

namespace ardvix::platform::qt {

ReadinessWatcher::WatchId QtReadinessWatcher::Watch(int fd, std::function<void()> on_readable) {
  if (fd < 0) return -1;
  const WatchId id = next_id_++;
  auto watch = std::make_shared<Entry>();
  watch->on_readable = std::move(on_readable);
  watch->notifier = new QSocketNotifier(fd, QSocketNotifier::Read, owner_.get());
  QObject::connect(watch->notifier, &QSocketNotifier::activated, owner_.get(),
                   [this, id] { Activated(id); });
  watches_.emplace(id, std::move(watch));
  return id;
}

void QtReadinessWatcher::Unwatch(WatchId id) {
  const auto found = watches_.find(id);
  if (found == watches_.end()) return;
  QSocketNotifier* notifier = found->second->notifier;
  watches_.erase(found);
  // This may run inside the notifier's own activated signal: disable it now so that it
  // fires no more, and delete it once control is back in the event loop.
  notifier->setEnabled(false);
  notifier->deleteLater();
}

void QtReadinessWatcher::Activated(WatchId id) {
  const auto found = watches_.find(id);
  if (found == watches_.end()) return;
  // Holding the entry keeps the callback alive even if it unwatches itself.
  const std::shared_ptr<Entry> watch = found->second;
  if (watch->on_readable) watch->on_readable();
}

}  // namespace ardvix::platform::qt
