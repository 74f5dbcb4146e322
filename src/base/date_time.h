// DateTime: the time stamp of a file record, a count of seconds with a cached
// broken-down form. Its 44 bytes are the image stored in the package:
//
//   0   4  seconds          signed, time_t scale (since 1970-01-01 00:00:00)
//   4   1  stale            1: recompute the fields below from seconds first
//   5   1  valid            0: the last recomputation failed
//   6   2  padding          not read
//   8  36  second, minute, hour, day (1-31), month (0-11), year (since 1900),
//          weekday (Sunday 0), day of year (0-365), daylight saving:
//          the fields of struct tm in its order, 4 bytes each
//
// All integers are little-endian.
#ifndef VANTOREL_BASE_DATE_TIME_H
#define VANTOREL_BASE_DATE_TIME_H

#include <stdint.h>

#include "base/win32_time.h"

struct DateTime {
  static constexpr int kImageSize = 44;

  int32_t seconds;
  uint8_t stale;
  uint8_t valid;
  uint8_t padding[2];
  int32_t second;
  int32_t minute;
  int32_t hour;
  int32_t day;
  int32_t month;
  int32_t year;
  int32_t weekday;
  int32_t dayOfYear;
  int32_t daylightSaving;

  DateTime();  // stale 0, valid 0, everything else 0
  // Reads the 44-byte image.
  explicit DateTime(const unsigned char* image);

  // The stamp to the minute: seconds and milliseconds are 0.
  SYSTEMTIME ToSystemTime();
  // SystemTimeToFileTime of ToSystemTime(), then from local time to UTC when
  // `local` is set. False (and a zero result) when the fields are not a
  // date Windows can convert.
  bool ToFileTime(bool local, FILETIME* result);

 private:
  // Recomputes the broken-down fields when stale.
  void Refresh();
};

#endif
