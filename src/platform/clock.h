// Time as the system's code sees it. The real clock is std::chrono; the headless backend's
// virtual clock moves only when a test (or a Sleep) moves it.
// Threads: TickCountMs and LocalTimeNow from any thread; SleepMs blocks the calling thread.
#pragma once

#include <cstdint>

namespace ardvix::platform {

struct LocalDateTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t TickCountMs() const = 0;  // milliseconds since an arbitrary start, wraps
  virtual void SleepMs(uint32_t ms) = 0;
  virtual LocalDateTime LocalTimeNow() const = 0;
};

}  // namespace ardvix::platform
