#include "packer/setup_file/date_image.h"

#include <cassert>
#include <ctime>
#include <limits>

#include "package/layout.h"

namespace packer {

void WriteDateTimeImage(ByteWriter& out, std::int64_t secondsSince1970) {
  const std::size_t start = out.size();
  std::time_t seconds = static_cast<std::time_t>(secondsSince1970);
  std::tm fields{};
  bool valid = gmtime_r(&seconds, &fields) != nullptr;
  // The seconds field is 32 bits and only informative while stale is 0:
  // beyond 2038 it saturates, the broken-down fields stay exact.
  std::int64_t clamped = secondsSince1970;
  if (clamped > std::numeric_limits<std::int32_t>::max())
    clamped = std::numeric_limits<std::int32_t>::max();
  if (clamped < std::numeric_limits<std::int32_t>::min())
    clamped = std::numeric_limits<std::int32_t>::min();
  out.I32(static_cast<std::int32_t>(clamped));
  out.U8(0);                                         // stale: the fields below are current
  out.U8(valid ? 1 : 0);                             // valid
  out.U16(0);                                        // padding
  out.I32(fields.tm_sec > 59 ? 59 : fields.tm_sec);  // no leap second on Windows
  out.I32(fields.tm_min);
  out.I32(fields.tm_hour);
  out.I32(fields.tm_mday);
  out.I32(fields.tm_mon);
  out.I32(fields.tm_year);
  out.I32(fields.tm_wday);
  out.I32(fields.tm_yday);
  out.I32(0);  // daylight saving: never, the fields are UTC
  assert(out.size() - start == static_cast<std::size_t>(layout::kDateTimeImageSize));
  static_cast<void>(start);
}

}  // namespace packer
