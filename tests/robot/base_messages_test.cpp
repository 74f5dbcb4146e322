// base's error, question and warning boxes as the user sees them: the real
// MessageBoxA handler in a program of their own, read and answered by the
// robot. A question is true only when the robot presses Yes.
#include <gtest/gtest.h>

#include "base/message_ids.h"
#include "robot/robot.h"

namespace {

const char kCaption[] = "Example App 1.0 Setup";
const char kPath[] = "C:\\Program Files\\Example App\\data file.dat";

struct MessageCase {
  const char* name;
  std::vector<std::string> arguments;  // mode, caption, id or text, [argument]
  robot::MessageBoxContent expected;
  int answer;
  DWORD exitCode;
};

using robot::BoxIcon;
const std::vector<std::string> kYesNo = {"&Yes", "&No"};
const std::string kOpenFile = std::to_string(IDS_OPEN_FILE);
const std::string kUncompress = std::to_string(IDS_UNCOMPRESS);
const std::string kOutOfMemory = std::to_string(IDS_OUT_OF_MEMORY);
const std::string kConfirmExit = std::to_string(IDS_CONFIRM_EXIT);
const std::string kProgramExists = std::to_string(IDS_PROGRAM_EXISTS);

const MessageCase kMessageCases[] = {
    {"error with argument", {"error", kCaption, kOpenFile, kPath},
     {kCaption, "Unable to open the file 'C:\\Program Files\\Example App\\data file.dat'.",
      BoxIcon::Error, {"OK"}, "OK"}, IDOK, 0},
    {"error without argument", {"error", kCaption, kUncompress},
     {kCaption, TEXT_UNCOMPRESS, BoxIcon::Error, {"OK"}, "OK"}, IDOK, 0},
    {"error before the caption is known", {"error", "", kOutOfMemory},
     {"", TEXT_OUT_OF_MEMORY, BoxIcon::Error, {"OK"}, "OK"}, IDOK, 0},
    {"question answered yes", {"question", kCaption, kConfirmExit},
     {kCaption, TEXT_CONFIRM_EXIT, BoxIcon::Question, kYesNo, "&No"}, IDYES, 21},
    {"question answered no", {"question", kCaption, kConfirmExit},
     {kCaption, TEXT_CONFIRM_EXIT, BoxIcon::Question, kYesNo, "&No"}, IDNO, 20},
    {"two-line question answered yes", {"question", kCaption, kProgramExists},
     {kCaption, TEXT_PROGRAM_EXISTS, BoxIcon::Question, kYesNo, "&No"}, IDYES, 21},
    {"two-line question answered no", {"question", kCaption, kProgramExists},
     {kCaption, TEXT_PROGRAM_EXISTS, BoxIcon::Question, kYesNo, "&No"}, IDNO, 20},
    {"warning", {"warning", kCaption, "Please choose a folder."},
     {kCaption, "Please choose a folder.", BoxIcon::Warning, {"OK"}, "OK"}, IDOK, 0},
};

// The shown program and its box, found.
struct ShownMessage {
  robot::Program program;
  HWND box = nullptr;
};

ShownMessage Show(const std::vector<std::string>& arguments) {
  ShownMessage shown;
  shown.program = robot::Start(robot::WindowsPathOf(SHOW_BASE_MESSAGE_PROGRAM), arguments);
  if (shown.program.Started()) shown.box = robot::WaitForMessageBox(shown.program.Id());
  return shown;
}

TEST(BaseMessages, ShowTheRightBoxAndReportTheAnswer) {
  for (const MessageCase& c : kMessageCases) {
    SCOPED_TRACE(c.name);
    ShownMessage shown = Show(c.arguments);
    ASSERT_NE(shown.box, nullptr) << shown.program.Error();
    EXPECT_EQ(robot::ReadMessageBox(shown.box), c.expected);
    ASSERT_TRUE(robot::AnswerMessageBox(shown.box, c.answer));
    EXPECT_EQ(robot::WaitForExit(shown.program), std::optional<DWORD>(c.exitCode));
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
    ShownMessage shown = Show({"question", kCaption, kConfirmExit});
    ASSERT_NE(shown.box, nullptr) << shown.program.Error();
    EXPECT_FALSE(robot::AnswerMessageBox(shown.box, IDCANCEL));  // there is no Cancel button
    PostMessageA(shown.box, way.message, way.wParam, 0);
    if (!robot::WaitForWindowToClose(shown.box, 500)) {
      ASSERT_TRUE(robot::AnswerMessageBox(shown.box, IDNO));
    }
    EXPECT_EQ(robot::WaitForExit(shown.program), std::optional<DWORD>(20));
  }
}

}  // namespace
