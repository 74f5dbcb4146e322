// base's error, question and warning boxes as the user sees them: the real
// MessageBoxA handler in a program of their own, read and answered by the
// robot. A question is true only when the robot presses Yes.
#include <gtest/gtest.h>

#include "base/message_ids.h"
#include "robot/robot.h"

namespace {

struct MessageCase {
  const char* name;
  std::vector<std::string> arguments;  // mode, caption, id or text, [argument]
  const char* text;
  robot::BoxIcon icon;
  std::vector<std::string> buttons;
  const char* defaultButton;
  int answer;
  DWORD exitCode;
};

const char kCaption[] = "Example App 1.0 Setup";
const char kPath[] = "C:\\Program Files\\Example App\\data file.dat";

const MessageCase kMessageCases[] = {
    {"error with argument",
     {"error", kCaption, std::to_string(IDS_OPEN_FILE), kPath},
     "Unable to open the file 'C:\\Program Files\\Example App\\data file.dat'.",
     robot::BoxIcon::Error, {"OK"}, "OK", IDOK, 0},
    {"error without argument",
     {"error", kCaption, std::to_string(IDS_UNCOMPRESS)},
     TEXT_UNCOMPRESS, robot::BoxIcon::Error, {"OK"}, "OK", IDOK, 0},
    {"error before the caption is known",
     {"error", "", std::to_string(IDS_OUT_OF_MEMORY)},
     TEXT_OUT_OF_MEMORY, robot::BoxIcon::Error, {"OK"}, "OK", IDOK, 0},
    {"question answered yes",
     {"question", kCaption, std::to_string(IDS_CONFIRM_EXIT)},
     TEXT_CONFIRM_EXIT, robot::BoxIcon::Question, {"&Yes", "&No"}, "&No", IDYES, 21},
    {"question answered no",
     {"question", kCaption, std::to_string(IDS_CONFIRM_EXIT)},
     TEXT_CONFIRM_EXIT, robot::BoxIcon::Question, {"&Yes", "&No"}, "&No", IDNO, 20},
    {"two-line question answered yes",
     {"question", kCaption, std::to_string(IDS_PROGRAM_EXISTS)},
     TEXT_PROGRAM_EXISTS, robot::BoxIcon::Question, {"&Yes", "&No"}, "&No", IDYES, 21},
    {"two-line question answered no",
     {"question", kCaption, std::to_string(IDS_PROGRAM_EXISTS)},
     TEXT_PROGRAM_EXISTS, robot::BoxIcon::Question, {"&Yes", "&No"}, "&No", IDNO, 20},
    {"warning",
     {"warning", kCaption, "Please choose a folder."},
     "Please choose a folder.", robot::BoxIcon::Warning, {"OK"}, "OK", IDOK, 0},
};

TEST(BaseMessages, ShowTheRightBoxAndReportTheAnswer) {
  const std::string program = robot::WindowsPathOf(SHOW_BASE_MESSAGE_PROGRAM);
  for (const MessageCase& c : kMessageCases) {
    SCOPED_TRACE(c.name);
    robot::Program shown = robot::Start(program, c.arguments);
    ASSERT_TRUE(shown.Started()) << shown.Error();
    HWND box = robot::WaitForMessageBox(shown.Id());
    ASSERT_NE(box, nullptr);

    robot::MessageBoxContent content = robot::ReadMessageBox(box);
    EXPECT_EQ(content.caption, c.arguments[1]);
    EXPECT_EQ(content.text, c.text);
    EXPECT_STREQ(robot::NameOf(content.icon), robot::NameOf(c.icon));
    EXPECT_EQ(content.buttons, c.buttons);
    EXPECT_EQ(content.defaultButton, c.defaultButton);

    ASSERT_TRUE(robot::AnswerMessageBox(box, c.answer));
    EXPECT_EQ(robot::WaitForExit(shown), std::optional<DWORD>(c.exitCode));
  }
}

// Escape (WM_COMMAND IDCANCEL) and the close box: Windows ignores them in a
// Yes/No box, Wine's box ends with IDCANCEL. Either way the question must not
// count as answered Yes.
TEST(BaseMessages, QuestionLeftWithoutYesIsFalse) {
  struct Leaving {
    const char* name;
    UINT message;
    WPARAM wParam;
  };
  const Leaving ways[] = {{"escape", WM_COMMAND, IDCANCEL}, {"close box", WM_CLOSE, 0}};
  for (const Leaving& way : ways) {
    SCOPED_TRACE(way.name);
    robot::Program shown = robot::Start(robot::WindowsPathOf(SHOW_BASE_MESSAGE_PROGRAM),
                                        {"question", kCaption, std::to_string(IDS_CONFIRM_EXIT)});
    ASSERT_TRUE(shown.Started()) << shown.Error();
    HWND box = robot::WaitForMessageBox(shown.Id());
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(robot::AnswerMessageBox(box, IDCANCEL));  // there is no Cancel button
    PostMessageA(box, way.message, way.wParam, 0);
    if (!robot::WaitForWindowToClose(box, 500)) {
      ASSERT_TRUE(robot::AnswerMessageBox(box, IDNO));
    }
    EXPECT_EQ(robot::WaitForExit(shown), std::optional<DWORD>(20));
  }
}

}  // namespace
