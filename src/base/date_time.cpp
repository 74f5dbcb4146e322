// DateTime: reading its image, the refresh of the broken-down fields, and
// the conversion to the Windows time types. vtpack writes the image
// (packer/date_image.h).
#include "base/date_time.h"

#include <stddef.h>
#include <string.h>
#include <time.h>

#include "base/little_endian.h"

static_assert(sizeof(DateTime) == DateTime::kImageSize, "the image is 44 bytes");
static_assert(offsetof(DateTime, stale) == 4 && offsetof(DateTime, valid) == 5, "flags at 4 and 5");
static_assert(offsetof(DateTime, second) == 8 && offsetof(DateTime, daylightSaving) == 40,
              "the struct tm fields from 8 to 44");

namespace {

constexpr int kFieldsOffset = 8;
constexpr int kFieldCount = 9;

int32_t ReadInt32(const unsigned char* bytes) { return static_cast<int32_t>(LoadU32(bytes)); }

// The broken-down fields in image order.
int32_t* Fields(DateTime& value) { return &value.second; }

// The runtime's zone settings are loaded before the first conversion, so its
// built-in default offset (8 hours west) is never used.
bool zoneLoaded = false;

long ZoneOffsetWest() {
  if (!zoneLoaded) {
#ifdef _WIN32
    _tzset();
#else
    tzset();
#endif
    zoneLoaded = true;
  }
#ifdef _WIN32
  return _timezone;
#else
  return timezone;
#endif
}

// localtime of t; false when the runtime rejects it. Negative times are
// rejected everywhere, as the Windows runtime does.
bool LocalTime(long long t, struct tm* result) {
  if (t < 0) return false;
  time_t time = static_cast<time_t>(t);
  if (static_cast<long long>(time) != t) return false;
#ifdef _WIN32
  struct tm* converted = localtime(&time);
  if (converted == nullptr) return false;
  *result = *converted;
  return true;
#else
  return localtime_r(&time, result) != nullptr;
#endif
}

// A field as a WORD; values outside its range become 0xFFFF, which every
// Windows conversion rejects rather than wrapping into a wrong date.
WORD ToWord(long long value) {
  return value >= 0 && value <= 0xFFFF ? static_cast<WORD>(value) : 0xFFFF;
}

}  // namespace

DateTime::DateTime() { memset(this, 0, sizeof *this); }

DateTime::DateTime(const unsigned char* image) : DateTime() {
  seconds = ReadInt32(image);
  stale = image[4];
  valid = image[5];
  for (int i = 0; i < kFieldCount; ++i) Fields(*this)[i] = ReadInt32(image + kFieldsOffset + 4 * i);
}

void DateTime::Refresh() {
  if (stale != 1) return;
  // Seconds plus the zone's offset, through localtime: the UTC calendar time
  // of the stamp (an hour later where daylight saving applies).
  struct tm broken;
  if (LocalTime(static_cast<long long>(seconds) + ZoneOffsetWest(), &broken)) {
    const int fields[kFieldCount] = {broken.tm_sec,  broken.tm_min,  broken.tm_hour,
                                     broken.tm_mday, broken.tm_mon,  broken.tm_year,
                                     broken.tm_wday, broken.tm_yday, broken.tm_isdst};
    for (int i = 0; i < kFieldCount; ++i) Fields(*this)[i] = fields[i];
    valid = 1;
  } else {
    valid = 0;
  }
  stale = 0;
}

SYSTEMTIME DateTime::ToSystemTime() {
  Refresh();
  SYSTEMTIME result;
  memset(&result, 0, sizeof result);
  result.wYear = ToWord(static_cast<long long>(year) + 1900);
  result.wMonth = ToWord(static_cast<long long>(month) + 1);
  result.wDay = ToWord(day);
  result.wHour = ToWord(hour);
  result.wMinute = ToWord(minute);
  return result;
}

bool DateTime::ToFileTime(bool local, FILETIME* result) {
  SYSTEMTIME systemTime = ToSystemTime();
  FILETIME converted;
  memset(result, 0, sizeof *result);
  if (!SystemTimeToFileTime(&systemTime, &converted)) return false;
  if (local) {
    FILETIME utc;
    if (!LocalFileTimeToFileTime(&converted, &utc)) return false;
    converted = utc;
  }
  *result = converted;
  return true;
}
