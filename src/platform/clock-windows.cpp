#include "platform/clock.h"

#include "platform/wide_text-windows.h"

namespace quorbix::platform {
namespace {

// FILETIME counts 100 ns steps since 1601-01-01 00:00:00.
constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kSecondsFrom1601To1970 = 11644473600;

bool toSystemTime(int64_t seconds, SYSTEMTIME& time) {
  const int64_t ticks = (seconds + kSecondsFrom1601To1970) * kTicksPerSecond;
  if (seconds < -kSecondsFrom1601To1970 || ticks < 0) return false;
  FILETIME file{};
  file.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) & 0xFFFFFFFFu);
  file.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
  return ::FileTimeToSystemTime(&file, &time) != 0;
}

bool fromSystemTime(const SYSTEMTIME& time, int64_t& seconds) {
  FILETIME file{};
  if (!::SystemTimeToFileTime(&time, &file)) return false;
  const uint64_t ticks = (static_cast<uint64_t>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
  seconds = static_cast<int64_t>(ticks / kTicksPerSecond) - kSecondsFrom1601To1970;
  return true;
}

}  // namespace

int64_t monotonicMilliseconds() {
  static const int64_t frequency = [] {
    LARGE_INTEGER f{};
    ::QueryPerformanceFrequency(&f);
    return f.QuadPart > 0 ? static_cast<int64_t>(f.QuadPart) : int64_t{1000};
  }();
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  const int64_t ticks = now.QuadPart;
  return ticks / frequency * 1000 + ticks % frequency * 1000 / frequency;
}

int64_t unixNow() {
  FILETIME file{};
  ::GetSystemTimeAsFileTime(&file);
  const uint64_t ticks = (static_cast<uint64_t>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
  return static_cast<int64_t>(ticks / kTicksPerSecond) - kSecondsFrom1601To1970;
}

LocalDateTime localNow() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

// The system's time-zone rules of the year in question, summer time included.
// Outside the years Windows can convert, the value is kept as it is.
int64_t dateValueFromUnix(int64_t unixSeconds) {
  SYSTEMTIME utc{}, local{};
  int64_t value = 0;
  if (toSystemTime(unixSeconds, utc) && ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) &&
      fromSystemTime(local, value)) {
    return value;
  }
  return unixSeconds;
}

int64_t unixFromDateValue(int64_t dateValue) {
  SYSTEMTIME local{}, utc{};
  int64_t value = 0;
  if (toSystemTime(dateValue, local) && ::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) &&
      fromSystemTime(utc, value)) {
    return value;
  }
  return dateValue;
}

}  // namespace quorbix::platform
