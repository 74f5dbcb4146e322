// A failed allocation ends the program with IDS_OUT_OF_MEMORY and exit code 1.
#include <stdio.h>

#include <string>

#include <gtest/gtest.h>

#include "child_process.h"

namespace {

TEST(OutOfMemory, ReportsMessage11WithoutOwnerAndExitsWith1) {
  struct Case {
    const char* way;
    std::string caption;   // "-": never set
    std::string expected;  // the caption shown
  };
  const Case cases[] = {
      {"allocate", "Demo Setup", "Demo Setup"},
      {"string", "Demo Setup", "Demo Setup"},
      {"allocate", "-", "Vantorel"},
      {"allocate", std::string(300, 'c'), std::string(259, 'c')},  // kept in its buffer
  };
  for (const Case& c : cases) {
    std::string record = UniqueTemporaryFile("vantorel-oom");
    int code = RunToEnd(SiblingProgram("out_of_memory_helper"), {c.way, c.caption, record});
    EXPECT_EQ(code, 1) << c.way;
    EXPECT_EQ(ReadWholeFile(record),
              "11\n16\nno owner\n" + c.expected + "\nUnable to allocate memory.\n")
        << c.way;
    remove(record.c_str());
  }
}

}  // namespace
