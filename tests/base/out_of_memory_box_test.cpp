// The out-of-memory exit as a user sees it: the real error box, answered.
#include <gtest/gtest.h>

#include "child_process.h"
#include "robot/robot.h"

namespace {

TEST(OutOfMemoryBox, ErrorBoxThenExitCode1) {
  robot::Program helper =
      robot::Start(SiblingProgram("out_of_memory_helper"), {"string", "Demo Setup"});
  ASSERT_TRUE(helper.Started()) << helper.Error();
  HWND box = robot::WaitForMessageBox(helper.Id());
  ASSERT_NE(box, nullptr);
  robot::MessageBoxContent content = robot::ReadMessageBox(box);
  EXPECT_EQ(content.caption, "Demo Setup");
  EXPECT_EQ(content.text, "Unable to allocate memory.");
  EXPECT_EQ(content.icon, robot::BoxIcon::Error);
  EXPECT_EQ(content.buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
  ASSERT_TRUE(robot::AnswerMessageBox(box, IDOK));
  std::optional<DWORD> code = robot::WaitForExit(helper);
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, 1u);
}

}  // namespace
