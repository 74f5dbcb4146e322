// Native SystemTimeToFileTime and LocalFileTimeToFileTime, with Windows'
// range checks, for the builds that run on Linux.
#include "base/win32_time.h"

#include <time.h>

namespace {

constexpr long long kTicksPerSecond = 10000000;
constexpr long long kSecondsPerDay = 86400;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1601-01-01 to the given date of the proleptic Gregorian calendar.
long long DaysSince1601(int year, int month, int day) {
  long long y = year - 1601;
  long long days = y * 365 + y / 4 - y / 100 + y / 400;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  return days + day - 1;
}

void Split(unsigned long long ticks, FILETIME* fileTime) {
  fileTime->dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
  fileTime->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

}  // namespace

BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* fileTime) {
  if (st->wYear < 1601 || st->wYear > 30827 || st->wMonth < 1 || st->wMonth > 12 || st->wDay < 1 ||
      st->wDay > DaysInMonth(st->wYear, st->wMonth) || st->wHour > 23 || st->wMinute > 59 ||
      st->wSecond > 59 || st->wMilliseconds > 999)
    return 0;
  long long seconds = DaysSince1601(st->wYear, st->wMonth, st->wDay) * kSecondsPerDay +
                      st->wHour * 3600LL + st->wMinute * 60LL + st->wSecond;
  Split(static_cast<unsigned long long>(seconds * kTicksPerSecond + st->wMilliseconds * 10000LL),
        fileTime);
  return 1;
}

BOOL LocalFileTimeToFileTime(const FILETIME* localTime, FILETIME* utcTime) {
  time_t now = time(nullptr);
  struct tm local;
  if (localtime_r(&now, &local) == nullptr) return 0;
  long long ticks =
      static_cast<long long>((static_cast<unsigned long long>(localTime->dwHighDateTime) << 32) |
                             localTime->dwLowDateTime);
  long long utc = ticks - static_cast<long long>(local.tm_gmtoff) * kTicksPerSecond;
  if (ticks < 0 || utc < 0) return 0;
  Split(static_cast<unsigned long long>(utc), utcTime);
  return 1;
}
