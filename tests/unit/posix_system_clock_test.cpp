#include <chrono>
#include <cstdlib>
#include <ctime>

#include <gtest/gtest.h>

#include "platform/posix/system_clock.h"

namespace ardvix::platform {
namespace {

TEST(SystemClockTest, SleepMovesTheTickByAboutThatManyMilliseconds) {
  SystemClock clock;
  const uint32_t before = clock.TickCountMs();
  clock.SleepMs(60);
  const uint32_t elapsed = clock.TickCountMs() - before;  // unsigned: safe across a wrap
  EXPECT_GE(elapsed, 60u);
  EXPECT_LT(elapsed, 2000u);
}

TEST(SystemClockTest, LocalTimeIsTheCalendarDateAndTimeOfDay) {
  // In UTC the local time equals the calendar time of the system clock.
  const char* saved = std::getenv("TZ");
  const std::string saved_tz = saved ? saved : "";
  setenv("TZ", "UTC0", 1);
  tzset();

  SystemClock clock;
  const LocalDateTime now = clock.LocalTimeNow();
  const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
  const std::chrono::year_month_day date(today);
  const std::chrono::hh_mm_ss time_of_day(std::chrono::system_clock::now() - today);

  if (saved) {
    setenv("TZ", saved_tz.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();

  EXPECT_EQ(now.year, static_cast<int>(date.year()));
  EXPECT_EQ(now.month, static_cast<int>(static_cast<unsigned>(date.month())));
  EXPECT_EQ(now.day, static_cast<int>(static_cast<unsigned>(date.day())));
  EXPECT_EQ(now.hour, time_of_day.hours().count());
  EXPECT_NEAR(now.minute * 60 + now.second,
              time_of_day.minutes().count() * 60 + time_of_day.seconds().count(), 2);
}

}  // namespace
}  // namespace ardvix::platform
