#include "platform/headless/virtual_clock.h"

namespace ardvix::headless {

VirtualClock::VirtualClock(uint64_t start_ms) : now_ms_(start_ms) {}

uint32_t VirtualClock::TickCountMs() const {
  std::lock_guard lock(mutex_);
  return static_cast<uint32_t>(now_ms_);
}

void VirtualClock::SleepMs(uint32_t ms) {
  {
    std::lock_guard lock(mutex_);
    now_ms_ += ms;
    sleeps_.push_back(ms);
  }
  if (on_sleep) on_sleep(ms);
}

platform::LocalDateTime VirtualClock::LocalTimeNow() const {
  std::lock_guard lock(mutex_);
  return local_time_;
}

void VirtualClock::SetLocalTime(const platform::LocalDateTime& now) {
  std::lock_guard lock(mutex_);
  local_time_ = now;
}

uint64_t VirtualClock::NowMs() const {
  std::lock_guard lock(mutex_);
  return now_ms_;
}

void VirtualClock::AdvanceTo(uint64_t t) {
  std::lock_guard lock(mutex_);
  if (t > now_ms_) now_ms_ = t;
}

std::vector<uint32_t> VirtualClock::sleeps() const {
  std::lock_guard lock(mutex_);
  return sleeps_;
}

}  // namespace ardvix::headless
