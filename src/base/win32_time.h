// The Windows time types and the two conversions the program uses. On
// Windows they come from the system; the native build (tests, sanitizers,
// the package reader) gets the same shapes and meanings from here.
#ifndef VANTOREL_BASE_WIN32_TIME_H
#define VANTOREL_BASE_WIN32_TIME_H

#ifdef _WIN32
#include <windows.h>
#else
#include <stdint.h>

typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int BOOL;

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;  // 1 to 12
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

// 100-nanosecond intervals since 1601-01-01 00:00:00.
struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

// As on Windows: FALSE for a date or time outside the calendar (years 1601
// to 30827); the day of the week is ignored.
BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, FILETIME* fileTime);
// Local to UTC with the time zone's current offset, as Windows does.
BOOL LocalFileTimeToFileTime(const FILETIME* localTime, FILETIME* utcTime);
#endif

#endif
