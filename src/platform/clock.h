// The local clock. A "date value" counts seconds since 1970-01-01 00:00:00
// on the local calendar (not UTC); these helpers convert between date values
// and Unix time using the system's time-zone rules.
#pragma once

#include <cstdint>

namespace quorbix::platform {

struct LocalDateTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

LocalDateTime localNow();
int64_t unixNow();
int64_t dateValueFromUnix(int64_t unixSeconds);
int64_t unixFromDateValue(int64_t dateValue);

// Milliseconds on a clock that only moves forward (not the time of day),
// for measuring how long something takes.
int64_t monotonicMilliseconds();

}  // namespace quorbix::platform
