#include "platform/posix/poll_readiness_watcher.h"

#include <poll.h>

#include <cerrno>
#include <vector>

namespace ardvix::platform {

ReadinessWatcher::WatchId PollReadinessWatcher::Watch(int fd, std::function<void()> on_readable) {
  const WatchId id = next_id_++;
  watches_.emplace(id, Entry{fd, std::make_shared<std::function<void()>>(std::move(on_readable))});
  return id;
}

void PollReadinessWatcher::Unwatch(WatchId id) { watches_.erase(id); }

int PollReadinessWatcher::RunOnce(int timeout_ms) {
  std::vector<WatchId> ids;
  std::vector<pollfd> fds;
  for (const auto& [id, entry] : watches_) {
    ids.push_back(id);
    fds.push_back(pollfd{entry.fd, POLLIN, 0});
  }
  const int ready = poll(fds.data(), fds.size(), timeout_ms);
  if (ready < 0) return errno == EINTR ? 0 : -1;

  int dispatched = 0;
  for (size_t i = 0; i < fds.size(); ++i) {
    // Errors and hang-ups count as readable: the reader is the one to find out about them.
    if ((fds[i].revents & (POLLIN | POLLERR | POLLHUP | POLLNVAL)) == 0) continue;
    const auto found = watches_.find(ids[i]);
    if (found == watches_.end()) continue;  // unwatched by an earlier callback this round
    const std::shared_ptr<std::function<void()>> callback = found->second.on_readable;
    if (*callback) (*callback)();
    ++dispatched;
  }
  return dispatched;
}

}  // namespace ardvix::platform
