// The robot drives real programs under Wine's X display (robot_box, and
// show_base_message with base's own boxes): finds their message boxes and
// windows, reads them, answers, and checks through the exit code that each
// answer arrived.
#include "robot/robot.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/message_ids.h"

namespace {

std::string BoxProgram() { return robot::WindowsPathOf(ROBOT_BOX_PROGRAM); }

robot::Program ShowBox(UINT style, const std::string& caption, const std::string& text) {
  return robot::Start(BoxProgram(), {"box", std::to_string(style), caption, text});
}

struct BoxCase {
  const char* name;
  UINT style;
  robot::MessageBoxContent expected;
  int answer;
};

using robot::BoxIcon;
// The kinds of box base never shows; base's own (error, question, warning)
// are read in the BaseMessages tests below.
const BoxCase kBoxCases[] = {
    {"information, first button preselected",
     MB_YESNO | MB_ICONINFORMATION,
     {"Setup", "Note", BoxIcon::Information, {"&Yes", "&No"}, "&Yes"},
     IDNO},
    {"no icon, cancelled",
     MB_OKCANCEL,
     {"Setup", "Plain", BoxIcon::None, {"OK", "Cancel"}, "OK"},
     IDCANCEL},
    // Blanks, quotes and a trailing backslash survive the command line.
    {"caption needing quotes",
     MB_OK | MB_ICONERROR,
     {"My \"App\" 2.0 \\", "C:\\Program Files\\", BoxIcon::Error, {"OK"}, "OK"},
     IDOK},
};

TEST(MessageBoxes, AreReadAndAnswered) {
  for (const BoxCase& c : kBoxCases) {
    SCOPED_TRACE(c.name);
    robot::Program box = ShowBox(c.style, c.expected.caption, c.expected.text);
    ASSERT_TRUE(box.Started()) << box.Error();
    HWND window = robot::WaitForMessageBox(box.Id());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(robot::ReadMessageBox(window), c.expected);
    ASSERT_TRUE(robot::AnswerMessageBox(window, c.answer));
    EXPECT_EQ(robot::WaitForExit(box), std::optional<DWORD>(c.answer));
  }
}

TEST(MessageBoxes, OnlyExistingButtonsArePressed) {
  robot::Program box = ShowBox(MB_OK | MB_ICONWARNING, "Setup", "Only OK");
  ASSERT_TRUE(box.Started()) << box.Error();
  HWND window = robot::WaitForMessageBox(box.Id());
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(robot::AnswerMessageBox(window, IDYES));
  EXPECT_FALSE(robot::AnswerMessageBox(window, IDNO));
  EXPECT_FALSE(robot::WaitForWindowToClose(window, 300));
  EXPECT_TRUE(box.Running());
  ASSERT_TRUE(robot::AnswerMessageBox(window, IDOK));
  EXPECT_EQ(robot::WaitForExit(box), std::optional<DWORD>(IDOK));
}

TEST(MessageBoxes, OtherProgramsBoxesAreNotFound) {
  robot::Program first = ShowBox(MB_OK, "First", "first");
  robot::Program second = ShowBox(MB_OK, "Second", "second");
  ASSERT_TRUE(first.Started() && second.Started());
  HWND secondBox = robot::WaitForMessageBox(second.Id());
  HWND firstBox = robot::WaitForMessageBox(first.Id());
  ASSERT_NE(firstBox, nullptr);
  ASSERT_NE(secondBox, nullptr);
  EXPECT_EQ(robot::TextOf(firstBox), "First");
  EXPECT_EQ(robot::TextOf(secondBox), "Second");
  ASSERT_TRUE(robot::AnswerMessageBox(secondBox, IDOK));
  EXPECT_EQ(robot::WaitForExit(second), std::optional<DWORD>(IDOK));
  EXPECT_TRUE(first.Running());
}

TEST(Screenshots, ShowTheOpenBox) {
  robot::Program box = ShowBox(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, "Screenshot",
                               "The robot took this picture.");
  ASSERT_TRUE(box.Started()) << box.Error();
  HWND window = robot::WaitForMessageBox(box.Id());
  ASSERT_NE(window, nullptr);
  // Recognising the icon on screen means the box has been painted.
  ASSERT_EQ(robot::ReadMessageBox(window).icon, robot::BoxIcon::Question);

  std::string path = robot::SaveScreenshot("robot-question-box");
  ASSERT_FALSE(path.empty());
  struct stat file;
  ASSERT_EQ(stat(path.c_str(), &file), 0) << path;
  // A 1024x768 screen of one colour compresses to a few KB; with the box on
  // it, still far below the 2.3 MB of raw pixels.
  EXPECT_GT(file.st_size, 1000);
  EXPECT_LT(file.st_size, 1024 * 768 * 3);
  ASSERT_TRUE(robot::AnswerMessageBox(window, IDNO));
  EXPECT_EQ(robot::WaitForExit(box), std::optional<DWORD>(IDNO));
}

TEST(Programs, AreKilledWhenTheyOutliveTheTimeout) {
  robot::Program box = ShowBox(MB_OK, "Never answered", "nobody presses OK");
  ASSERT_TRUE(box.Started()) << box.Error();
  HWND window = robot::WaitForMessageBox(box.Id());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(robot::WaitForExit(box, 300), std::nullopt);
  EXPECT_FALSE(box.Running());
  EXPECT_TRUE(robot::WaitForWindowToClose(window));
}

TEST(Programs, ThatCannotStartSayWhy) {
  robot::Program missing = robot::Start("C:\\no such folder\\missing.exe");
  EXPECT_FALSE(missing.Started());
  EXPECT_NE(missing.Error().find("missing.exe"), std::string::npos) << missing.Error();
  EXPECT_EQ(robot::WaitForExit(missing, 100), std::nullopt);
}

struct StartCase {
  const char* name;
  robot::StartOptions options;
  const char* reportedText;  // working directory, newline, ROBOT_VALUE
};

TEST(Programs, GetTheirWorkingDirectoryAndEnvironment) {
  char own[MAX_PATH];
  GetCurrentDirectoryA(sizeof(own), own);
  SetEnvironmentVariableA("ROBOT_VALUE", "inherited");
  const StartCase cases[] = {
      {"inherited", {}, "\ninherited"},
      {"set", {"C:\\windows", {"ROBOT_VALUE=blue sky"}}, "C:\\windows\nblue sky"},
      {"set with other case", {"", {"robot_value=lower"}}, "\nlower"},
      {"removed", {"C:\\users", {"ROBOT_VALUE="}}, "C:\\users\n(unset)"},
  };
  for (const StartCase& c : cases) {
    SCOPED_TRACE(c.name);
    robot::Program report = robot::Start(BoxProgram(), {"report", "ROBOT_VALUE"}, c.options);
    ASSERT_TRUE(report.Started()) << report.Error();
    HWND window = robot::WaitForMessageBox(report.Id());
    ASSERT_NE(window, nullptr);
    std::string expected = c.reportedText;
    if (c.options.workingDirectory.empty()) expected = own + expected;
    EXPECT_EQ(robot::ReadMessageBox(window).text, expected);
    ASSERT_TRUE(robot::AnswerMessageBox(window, IDOK));
    EXPECT_EQ(robot::WaitForExit(report), std::optional<DWORD>(IDOK));
  }
  SetEnvironmentVariableA("ROBOT_VALUE", nullptr);
}

TEST(Windows, ControlsAreFoundReadAndPressed) {
  robot::Program form = robot::Start(BoxProgram(), {"form"});
  ASSERT_TRUE(form.Started()) << form.Error();
  HWND window = robot::WaitForTopWindow(form.Id(), "RobotForm", "Robot form");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(robot::WaitForTopWindow(form.Id(), "RobotForm", "Other caption", 200), nullptr);
  EXPECT_EQ(robot::WaitForTopWindow(form.Id(), "#32770", "", 200), nullptr);

  HWND remember = robot::ChildByText(window, "Remember", "Button");
  ASSERT_NE(remember, nullptr);
  EXPECT_EQ(robot::ChildByText(window, "Remember", "Static"), nullptr);
  EXPECT_EQ(robot::TextOf(remember), "&Remember");
  EXPECT_FALSE(robot::IsChecked(remember));
  ASSERT_TRUE(robot::Click(remember));
  ASSERT_TRUE(robot::WaitForPostedMessages(robot::ChildById(window, 104)));
  EXPECT_TRUE(robot::IsChecked(remember));

  HWND disabled = robot::ChildByText(window, "&Disabled");
  ASSERT_NE(disabled, nullptr);
  EXPECT_FALSE(robot::IsEnabled(disabled));
  EXPECT_TRUE(robot::IsVisible(disabled));
  EXPECT_FALSE(robot::Click(disabled));
  HWND hidden = robot::ChildByText(window, "Hidden");
  ASSERT_NE(hidden, nullptr);
  EXPECT_FALSE(robot::IsVisible(hidden));
  EXPECT_FALSE(robot::Click(hidden));
  EXPECT_EQ(robot::ChildByText(window, "No such button"), nullptr);

  HWND done = robot::ChildById(window, 104);
  ASSERT_NE(done, nullptr);
  EXPECT_EQ(robot::TextOf(done), "&Done");
  EXPECT_TRUE(robot::IsDefaultButton(done));
  EXPECT_FALSE(robot::IsDefaultButton(remember));
  EXPECT_EQ(robot::ChildrenOf(window).size(), 4u);
  ASSERT_TRUE(robot::Click(done));
  EXPECT_EQ(robot::WaitForExit(form), std::optional<DWORD>(11));  // 10 + checked
  EXPECT_FALSE(robot::WaitForPostedMessages(done, 200));          // gone with its program
}

TEST(Windows, CommandsReachTheDialog) {
  robot::Program form = robot::Start(BoxProgram(), {"form"});
  ASSERT_TRUE(form.Started()) << form.Error();
  HWND window = robot::WaitForTopWindow(form.Id(), "RobotForm");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(robot::SendCommand(window, 104));
  EXPECT_EQ(robot::WaitForExit(form), std::optional<DWORD>(10));  // 10 + unchecked
}

// ---- base's message boxes as the user sees them: the real MessageBoxA
// handler in a program of its own. A question is true only when the robot
// presses Yes.

const char kSetupCaption[] = "Example App 1.0 Setup";
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
    {"error with argument",
     {"error", kSetupCaption, kOpenFile, kPath},
     {kSetupCaption,
      "Unable to open the file 'C:\\Program Files\\Example App\\data file.dat'.",
      BoxIcon::Error,
      {"OK"},
      "OK"},
     IDOK,
     0},
    {"error without argument",
     {"error", kSetupCaption, kUncompress},
     {kSetupCaption, TEXT_UNCOMPRESS, BoxIcon::Error, {"OK"}, "OK"},
     IDOK,
     0},
    {"error before the caption is known",
     {"error", "", kOutOfMemory},
     {"", TEXT_OUT_OF_MEMORY, BoxIcon::Error, {"OK"}, "OK"},
     IDOK,
     0},
    {"question answered yes",
     {"question", kSetupCaption, kConfirmExit},
     {kSetupCaption, TEXT_CONFIRM_EXIT, BoxIcon::Question, kYesNo, "&No"},
     IDYES,
     21},
    {"question answered no",
     {"question", kSetupCaption, kConfirmExit},
     {kSetupCaption, TEXT_CONFIRM_EXIT, BoxIcon::Question, kYesNo, "&No"},
     IDNO,
     20},
    {"two-line question answered yes",
     {"question", kSetupCaption, kProgramExists},
     {kSetupCaption, TEXT_PROGRAM_EXISTS, BoxIcon::Question, kYesNo, "&No"},
     IDYES,
     21},
    {"two-line question answered no",
     {"question", kSetupCaption, kProgramExists},
     {kSetupCaption, TEXT_PROGRAM_EXISTS, BoxIcon::Question, kYesNo, "&No"},
     IDNO,
     20},
    {"warning",
     {"warning", kSetupCaption, "Please choose a folder."},
     {kSetupCaption, "Please choose a folder.", BoxIcon::Warning, {"OK"}, "OK"},
     IDOK,
     0},
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
    ShownMessage shown = Show({"question", kSetupCaption, kConfirmExit});
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
