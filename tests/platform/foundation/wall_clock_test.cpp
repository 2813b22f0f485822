#include "platform/foundation/wall_clock.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "platform/dispatch/main_queue.h"
#include "platform/process/process.h"

namespace {

using platform::LocalTime;

std::string localText(const LocalTime& t) {
  return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}", t.year, t.month, t.day, t.hour,
                     t.minute, t.second);
}

// Sets the environment's time zone for one test.
class TimeZone {
 public:
  explicit TimeZone(const char* zone) {
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~TimeZone() {
    ::unsetenv("TZ");
    ::tzset();
  }
};

TEST(WallClock, ReadsLocalDatesAndGivesTheirFieldsBack) {
  struct Case {
    const char* zone;
    const char* text;
    double sinceReference;  // expected, seconds since 2001-01-01T00:00:00Z
    int weekday;
  };
  const Case cases[] = {
      {"UTC", "2001-01-01T00:00:00", 0, 1},
      {"UTC", "2026-12-06T23:59:59", 818294399, 7},
      {"Europe/Berlin", "2026-07-01T12:00:00", 804592800, 3},  // summer time, UTC+2
      {"Europe/Berlin", "2026-01-01T12:00:00", 788958000, 4},  // winter, UTC+1
      {"Asia/Tokyo", "2024-02-29T08:30:00", 730855800, 4},
  };
  for (const auto& c : cases) {
    TimeZone zone(c.zone);
    const auto date = platform::parseLocalDateTime(c.text);
    ASSERT_TRUE(date) << c.text;
    EXPECT_EQ(date->secondsSinceReferenceDate, c.sinceReference) << c.zone << ' ' << c.text;
    const LocalTime fields = platform::localTime(*date);
    EXPECT_EQ(localText(fields), c.text) << c.zone;
    EXPECT_EQ(fields.weekday, c.weekday) << c.text;
  }
}

TEST(WallClock, RefusesTextsThatAreNoLocalDate) {
  TimeZone zone("UTC");
  for (const char* text : {"", "2026-12-06", "2026-12-06 10:00:00", "2026-02-30T10:00:00",
                           "2026-12-06T24:00:00", "2026-12-06T10:60:00", "2026-12-06T10:00:00Z",
                           "26-12-06T10:00:00", "2026-1-06T10:00:000"}) {
    EXPECT_FALSE(platform::parseLocalDateTime(text)) << text;
  }
}

// A process on that clock whose phone date starts at 1000 s.
platform::Process processOn(platform::Clock clock) {
  return platform::Process({.bundleIdentifier = "a",
                            .name = "a",
                            .deviceRoot = "/nonexistent",
                            .clock = clock,
                            .logSink = [](std::string_view) {},
                            .wallClockStart = platform::Date{1000}});
}

TEST(WallClock, AVirtualClockCountsFromItsStartAndARealOneReadsTheSystem) {
  platform::Process virtualProcess = processOn(platform::Clock::Virtual);
  {
    platform::ProcessScope scope(virtualProcess);
    auto& queue = static_cast<platform::VirtualMainQueue&>(virtualProcess.mainQueue());
    EXPECT_EQ(platform::dateNow().secondsSinceReferenceDate, 1000);
    queue.advanceBy(std::chrono::milliseconds(1500));
    EXPECT_EQ(platform::dateNow().secondsSinceReferenceDate, 1001.5);
  }
  platform::Process realProcess = processOn(platform::Clock::Real);
  platform::ProcessScope scope(realProcess);
  const double before = platform::systemDate().secondsSinceReferenceDate;
  const double now = platform::dateNow().secondsSinceReferenceDate;
  EXPECT_LE(before, now);
  EXPECT_LE(now, platform::systemDate().secondsSinceReferenceDate);
}

}  // namespace
