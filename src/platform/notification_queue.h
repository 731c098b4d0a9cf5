// The mailbox behind a window's NotificationTarget, shared by the backends.
//
// Any thread may Send or Post. The UI thread calls Drain to run what is waiting, in arrival
// order. Send from the UI thread itself runs the handler at once (Drain is not needed);
// Send from another thread blocks until Drain has run it, or until Close. The backend is
// told through `wake` (called from the sending thread, without the lock held) that there is
// something to drain, so it can schedule a Drain on the UI thread.
// Close (UI thread, when the window is destroyed) drops what is queued, releases every
// blocked sender and makes later Send and Post do nothing.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <unordered_set>

#include "platform/window.h"

namespace ardvix::platform {

class NotificationQueue : public NotificationTarget {
 public:
  using Handler = std::function<void(const Notification&)>;

  // Constructed on the UI thread; handler runs there.
  NotificationQueue(Handler handler, std::function<void()> wake);

  void Send(const Notification& n) override;
  void Post(Notification n) override;

  // Runs every waiting notification. Returns how many ran. UI thread only. A handler that
  // runs a nested loop may Drain again from inside; each entry still runs exactly once.
  int Drain();
  bool HasPending() const;
  void Close();

 private:
  struct Entry {
    Notification notification;
    bool synchronous = false;
    uint64_t ticket = 0;
  };

  Handler handler_;
  std::function<void()> wake_;
  std::thread::id ui_thread_;
  mutable std::mutex mutex_;
  std::condition_variable handled_;
  std::deque<Entry> queue_;
  uint64_t next_ticket_ = 1;
  std::unordered_set<uint64_t> handled_sync_;  // tickets whose sender has not woken yet
  bool closed_ = false;
};

}  // namespace ardvix::platform
