// The real clock: a monotonic millisecond tick, sleeping, and the local time of day.
#pragma once

#include "platform/clock.h"

namespace ardvix::platform {

class SystemClock : public Clock {
 public:
  // Milliseconds of the monotonic clock, cut to 32 bits: it wraps every 49.7 days, so
  // callers compare ticks by unsigned difference.
  uint32_t TickCountMs() const override;
  void SleepMs(uint32_t ms) override;
  LocalDateTime LocalTimeNow() const override;
};

}  // namespace ardvix::platform
