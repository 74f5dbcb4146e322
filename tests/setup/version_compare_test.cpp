// The version comparison of the file loop: four unsigned 16-bit parts in
// order, strictly newer replaces.
#include <gtest/gtest.h>

#include "engine/version_rule.h"

namespace {

struct Comparison {
  uint16_t candidate[4];
  uint16_t installed[4];
  bool newer;
};

TEST(VersionCompare, OnlyAStrictlyNewerVersionReplaces) {
  const Comparison cases[] = {
      {{1, 9, 9, 9}, {2, 0, 0, 0}, false},
      {{2, 0, 0, 0}, {2, 0, 0, 0}, false},
      {{2, 0, 0, 1}, {2, 0, 0, 0}, true},
      {{2, 1, 0, 0}, {2, 0, 9, 9}, true},
      {{2, 0, 1, 0}, {2, 0, 0, 65535}, true},
      {{3, 0, 0, 0}, {2, 65535, 65535, 65535}, true},
      // Unsigned: the high half of each part counts as large, not negative.
      {{2, 0, 0, 40000}, {2, 0, 0, 1}, true},
      {{1, 65535, 65535, 65535}, {2, 0, 0, 0}, false},
      {{0, 0, 0, 0}, {0, 0, 0, 0}, false},
  };
  for (const Comparison& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.candidate[0] << "." << c.candidate[1] << "."
                                      << c.candidate[2] << "." << c.candidate[3] << " vs "
                                      << c.installed[0] << "." << c.installed[1] << "."
                                      << c.installed[2] << "." << c.installed[3]);
    EXPECT_EQ(IsNewerVersion(c.candidate, c.installed), c.newer);
  }
}

}  // namespace
