// DateTime: its image, the refresh of stale fields and the conversions.
#include "base/date_time.h"

#include <stdlib.h>

#include <vector>

#include <gtest/gtest.h>

namespace {

// A fixed zone before the first conversion of the process: five hours west,
// with daylight saving in summer.
const bool zoneSet = [] {
#ifdef _WIN32
  return _putenv("TZ=EST5EDT") == 0;
#else
  return setenv("TZ", "EST5EDT", 1) == 0;
#endif
}();

struct Fields {
  int second, minute, hour, day, month, year, weekday, dayOfYear, daylightSaving;
};

// The package's image, written byte by byte.
std::vector<unsigned char> Image(int32_t seconds, uint8_t stale, uint8_t valid, const Fields& f) {
  std::vector<unsigned char> image(44, 0xEE);  // padding holds anything
  auto put = [&image](int offset, int32_t value) {
    for (int i = 0; i < 4; ++i)
      image[offset + i] = static_cast<unsigned char>(static_cast<uint32_t>(value) >> (8 * i));
  };
  put(0, seconds);
  image[4] = stale;
  image[5] = valid;
  const int values[9] = {f.second, f.minute,  f.hour,      f.day,           f.month,
                         f.year,   f.weekday, f.dayOfYear, f.daylightSaving};
  for (int i = 0; i < 9; ++i) put(8 + 4 * i, values[i]);
  return image;
}

unsigned long long Ticks(const FILETIME& t) {
  return static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime;
}

// 2000-12-16 21:04:00 UTC: 977000640 s after 1970, which is 11644473600 s
// after 1601, in 100 ns ticks.
constexpr unsigned long long kDecemberTicks = (977000640ULL + 11644473600ULL) * 10000000ULL;
const Fields kDecember = {47, 4, 21, 16, 11, 100, 6, 350, 0};

TEST(DateTime, ImageFields) {
  ASSERT_TRUE(zoneSet);
  std::vector<unsigned char> image = Image(-5, 1, 1, kDecember);
  DateTime value(image.data());
  EXPECT_EQ(value.seconds, -5);
  EXPECT_EQ(value.stale, 1);
  EXPECT_EQ(value.valid, 1);
  EXPECT_EQ(value.minute, 4);
  EXPECT_EQ(value.year, 100);
  EXPECT_EQ(value.daylightSaving, 0);
  DateTime fresh;
  EXPECT_EQ(fresh.stale, 0);
  EXPECT_EQ(fresh.valid, 0);
}

TEST(DateTime, CurrentFieldsAreUsedAsStored) {
  for (int32_t seconds : {0, 977000687, -1, 2147483647}) {
    DateTime value(Image(seconds, 0, 1, kDecember).data());
    SYSTEMTIME st = value.ToSystemTime();
    EXPECT_EQ(st.wYear, 2000);
    EXPECT_EQ(st.wMonth, 12);
    EXPECT_EQ(st.wDay, 16);
    EXPECT_EQ(st.wHour, 21);
    EXPECT_EQ(st.wMinute, 4);
    EXPECT_EQ(st.wSecond, 0);
    EXPECT_EQ(st.wMilliseconds, 0);
    EXPECT_EQ(st.wDayOfWeek, 0);
    FILETIME ft;
    ASSERT_TRUE(value.ToFileTime(false, &ft));
    EXPECT_EQ(Ticks(ft), kDecemberTicks) << seconds;
  }
}

TEST(DateTime, StaleFieldsAreRecomputedOnceInUtc) {
  struct Case {
    int32_t seconds;  // the stamp in UTC
    Fields expected;
  };
  const Case cases[] = {
      {977000687, {47, 4, 21, 16, 11, 100, 6, 350, 0}},  // 2000-12-16 21:04:47
      {961189487, {47, 4, 22, 16, 5, 100, 5, 167, 1}},  // 2000-06-16 21:04:47, an hour on in summer
      {0, {0, 0, 0, 1, 0, 70, 4, 0, 0}},                // the first second of the scale
  };
  for (const Case& c : cases) {
    DateTime value(Image(c.seconds, 1, 0, {1, 2, 3, 4, 5, 6, 0, 0, 0}).data());
    SYSTEMTIME first = value.ToSystemTime();
    EXPECT_EQ(value.stale, 0);
    EXPECT_EQ(value.valid, 1);
    const Fields& e = c.expected;
    const int actual[9] = {value.second,  value.minute,    value.hour,
                           value.day,     value.month,     value.year,
                           value.weekday, value.dayOfYear, value.daylightSaving};
    const int expected[9] = {e.second, e.minute,  e.hour,      e.day,           e.month,
                             e.year,   e.weekday, e.dayOfYear, e.daylightSaving};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(actual[i], expected[i]) << c.seconds << " field " << i;
    EXPECT_EQ(first.wHour, e.hour);
    // Not stale any more: a changed count of seconds is not looked at again.
    value.seconds += 7200;
    SYSTEMTIME second = value.ToSystemTime();
    EXPECT_EQ(second.wHour, first.wHour);
    EXPECT_EQ(value.hour, e.hour);
  }
}

TEST(DateTime, RejectedSecondsKeepTheStoredFields) {
  // Negative once the zone's five hours are added.
  for (int32_t seconds : {-18001, -86400 * 2, -2147483647 - 1}) {
    DateTime value(Image(seconds, 1, 1, kDecember).data());
    SYSTEMTIME st = value.ToSystemTime();
    EXPECT_EQ(value.valid, 0) << seconds;
    EXPECT_EQ(value.stale, 0);
    EXPECT_EQ(value.second, 47);
    EXPECT_EQ(value.dayOfYear, 350);
    EXPECT_EQ(st.wYear, 2000);
    EXPECT_EQ(st.wMinute, 4);
  }
}

TEST(DateTime, FieldsOutsideTheCalendarGiveNoFileTime) {
  const Fields cases[] = {
      {0, 0, 0, 31, 10, 100, 0, 0, 0},        // 31 November
      {0, 0, 24, 1, 0, 100, 0, 0, 0},         // hour 24
      {0, 60, 0, 1, 0, 100, 0, 0, 0},         // minute 60
      {0, 0, 0, 1, 12, 100, 0, 0, 0},         // month 12 is the 13th
      {0, 0, 0, 1, -1, 100, 0, 0, 0},         // month before January
      {0, 0, 0, 1, 0, -300, 0, 0, 0},         // 1600
      {0, 0, 0, 1, 0, 2147483647, 0, 0, 0},   // no overflow into a valid year
      {0, 0, 0, 1, 65535 + 1, 100, 0, 0, 0},  // nor a month wrapping to 1
      {0, 0, 0, 65536 + 1, 0, 100, 0, 0, 0},  // nor a day wrapping to 1
  };
  for (const Fields& f : cases) {
    DateTime value(Image(0, 0, 1, f).data());
    FILETIME ft = {1, 1};
    EXPECT_FALSE(value.ToFileTime(false, &ft)) << f.day << "." << f.month << "." << f.year;
    EXPECT_EQ(Ticks(ft), 0u);
  }
  DateTime leapDay(Image(0, 0, 1, {0, 0, 0, 29, 1, 100, 0, 0, 0}).data());
  FILETIME ft;
  EXPECT_TRUE(leapDay.ToFileTime(false, &ft));
}

TEST(DateTime, LocalFlagConvertsFromLocalTime) {
  DateTime value(Image(0, 0, 1, kDecember).data());
  FILETIME asUtc;
  FILETIME fromLocal;
  ASSERT_TRUE(value.ToFileTime(false, &asUtc));
  ASSERT_TRUE(value.ToFileTime(true, &fromLocal));
  FILETIME expected;
  ASSERT_TRUE(LocalFileTimeToFileTime(&asUtc, &expected));
  EXPECT_EQ(Ticks(fromLocal), Ticks(expected));
}

#ifndef _WIN32
TEST(DateTimeNative, LocalFileTimeAddsTheZonesCurrentOffset) {
  // EST5EDT is four or five hours west, depending on today's date.
  FILETIME local = {0, 0x01C0000};
  FILETIME utc;
  ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
  long long difference = static_cast<long long>(Ticks(utc) - Ticks(local)) / 10000000;
  EXPECT_TRUE(difference == 4 * 3600 || difference == 5 * 3600) << difference;
}

TEST(DateTimeNative, SystemTimeToFileTimeCalendar) {
  struct Case {
    WORD year, month, day, hour, minute, second;
    unsigned long long ticks;
  };
  // Seconds after 1601 computed from the Unix scale (11644473600 s apart).
  const Case cases[] = {
      {1601, 1, 1, 0, 0, 0, 0},
      {1970, 1, 1, 0, 0, 0, 11644473600ULL * 10000000ULL},
      {2000, 12, 16, 21, 4, 0, kDecemberTicks},
      {2038, 1, 19, 3, 14, 8, (2147483648ULL + 11644473600ULL) * 10000000ULL},
  };
  for (const Case& c : cases) {
    SYSTEMTIME st = {c.year, c.month, 0, c.day, c.hour, c.minute, c.second, 0};
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ft)) << c.year;
    EXPECT_EQ(Ticks(ft), c.ticks) << c.year;
  }
  SYSTEMTIME notLeap = {2001, 2, 0, 29, 0, 0, 0, 0};
  FILETIME ft;
  EXPECT_FALSE(SystemTimeToFileTime(&notLeap, &ft));
}
#endif

}  // namespace
