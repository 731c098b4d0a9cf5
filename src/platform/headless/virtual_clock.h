// A clock that moves only when told to: by a test (through the backend's AdvanceTime) or by a
// sleep, which jumps at once. No real waiting, so flows run the same on every machine.
// Threads: every member may be called from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/clock.h"

namespace ardvix::headless {

class VirtualClock : public platform::Clock {
 public:
  explicit VirtualClock(uint64_t start_ms = 1000);

  uint32_t TickCountMs() const override;  // the low 32 bits of NowMs, wrapping like the tick count
  // Moves virtual time forward by ms at once and records the sleep. Timers are fired only by
  // the backend's AdvanceTime, so none fires during a sleep: the sleeper's thread is blocked.
  void SleepMs(uint32_t ms) override;
  platform::LocalDateTime LocalTimeNow() const override;

  void SetLocalTime(const platform::LocalDateTime& now);
  uint64_t NowMs() const;
  // Moves the clock to t; an earlier t leaves it where it is (time never runs backwards).
  void AdvanceTo(uint64_t t);
  std::vector<uint32_t> sleeps() const;

  // Called on the sleeping thread after the clock has moved (a test may deliver datagrams
  // that arrive "during" the sleep). Set before the clock is in use.
  std::function<void(uint32_t ms)> on_sleep;

 private:
  mutable std::mutex mutex_;
  uint64_t now_ms_;
  platform::LocalDateTime local_time_;
  std::vector<uint32_t> sleeps_;
};

}  // namespace ardvix::headless
