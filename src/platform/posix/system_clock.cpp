#include "platform/posix/system_clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace ardvix::platform {

uint32_t SystemClock::TickCountMs() const {
  const auto since_start = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count());
}

void SystemClock::SleepMs(uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

LocalDateTime SystemClock::LocalTimeNow() const {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  LocalDateTime result;
  if (localtime_r(&now, &parts) == nullptr) return result;
  result.year = parts.tm_year + 1900;
  result.month = parts.tm_mon + 1;
  result.day = parts.tm_mday;
  result.hour = parts.tm_hour;
  result.minute = parts.tm_min;
  result.second = parts.tm_sec;
  return result;
}

}  // namespace ardvix::platform
