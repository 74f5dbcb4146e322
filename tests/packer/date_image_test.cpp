// The 44-byte time stamp image, in UTC, for dates around the edges.
#include "packer/setup_file/date_image.h"

#include <gtest/gtest.h>

using namespace packer;

namespace {

std::int32_t I32At(const Bytes& b, std::size_t offset) {
  return static_cast<std::int32_t>(b[offset] | b[offset + 1] << 8 | b[offset + 2] << 16 |
                                   static_cast<std::uint32_t>(b[offset + 3]) << 24);
}

}  // namespace

TEST(DateImage, BrokenDownFieldsInUtc) {
  const struct {
    long long seconds;
    int fields[9];  // second, minute, hour, day, month 0-11, year-1900, weekday, yday, dst
  } table[] = {
      {0, {0, 0, 0, 1, 0, 70, 4, 0, 0}},
      {977000687, {47, 4, 21, 16, 11, 100, 6, 350, 0}},
      {951782400, {0, 0, 0, 29, 1, 100, 2, 59, 0}},    // 2000-02-29
      {1719792000, {0, 0, 0, 1, 6, 124, 1, 182, 0}},   // 2024-07-01: summer, still no DST flag
      {2147483647, {7, 14, 3, 19, 0, 138, 2, 18, 0}},  // the last 32-bit second
      {4102444800LL, {0, 0, 0, 1, 0, 200, 5, 0, 0}},   // 2100-01-01: beyond 2038
  };
  for (const auto& row : table) {
    ByteWriter out;
    WriteDateTimeImage(out, row.seconds);
    const Bytes& b = out.bytes();
    ASSERT_EQ(b.size(), 44u);
    EXPECT_EQ(b[4], 0) << "stale";
    EXPECT_EQ(b[5], 1) << "valid";
    EXPECT_EQ(b[6], 0);
    EXPECT_EQ(b[7], 0);
    for (int i = 0; i < 9; ++i)
      EXPECT_EQ(I32At(b, 8 + 4 * i), row.fields[i]) << row.seconds << " field " << i;
    long long expectedSeconds = row.seconds > 2147483647 ? 2147483647 : row.seconds;
    EXPECT_EQ(I32At(b, 0), expectedSeconds);
  }
}
