#pragma once
// Sets the environment's time zone (TZ) for as long as it lives, as a test
// needs it for local dates: what a phone in that zone would see.
#include <cstdlib>
#include <ctime>

namespace testing_support {

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
  TimeZone(const TimeZone&) = delete;
  TimeZone& operator=(const TimeZone&) = delete;
};

}  // namespace testing_support
