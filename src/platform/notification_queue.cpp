#include "platform/notification_queue.h"

#include <utility>

namespace ardvix::platform {

NotificationQueue::NotificationQueue(Handler handler, std::function<void()> wake)
    : handler_(std::move(handler)), wake_(std::move(wake)), ui_thread_(std::this_thread::get_id()) {}

void NotificationQueue::Send(const Notification& n) {
  if (std::this_thread::get_id() == ui_thread_) {
    {
      std::lock_guard lock(mutex_);
      if (closed_) return;
    }
    handler_(n);
    return;
  }
  uint64_t ticket;
  {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    ticket = next_ticket_++;
    queue_.push_back({n, true, ticket});
  }
  if (wake_) wake_();
  std::unique_lock lock(mutex_);
  // A nested Drain may finish later entries first, so each sender waits for its own ticket.
  handled_.wait(lock, [&] { return closed_ || handled_sync_.count(ticket) != 0; });
  handled_sync_.erase(ticket);
}

void NotificationQueue::Post(Notification n) {
  {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    queue_.push_back({std::move(n), false, 0});
  }
  if (wake_) wake_();
}

int NotificationQueue::Drain() {
  int ran = 0;
  for (;;) {
    Entry entry;
    {
      std::lock_guard lock(mutex_);
      if (closed_ || queue_.empty()) return ran;
      entry = std::move(queue_.front());
      queue_.pop_front();
    }
    handler_(entry.notification);
    ++ran;
    if (entry.synchronous) {
      std::lock_guard lock(mutex_);
      handled_sync_.insert(entry.ticket);
      handled_.notify_all();
    }
  }
}

bool NotificationQueue::HasPending() const {
  std::lock_guard lock(mutex_);
  return !closed_ && !queue_.empty();
}

void NotificationQueue::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    queue_.clear();
  }
  handled_.notify_all();
}

}  // namespace ardvix::platform
