// How a completed install ends when the package asks for its program to be
// started: the program runs in the destination folder and no finish dialog
// is shown; a program that cannot be started is reported, and setup still
// ends well.
#include <windows.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "setup_test_support.h"

using namespace setuptest;

namespace {

TEST(ClosingStep, InstalledProgramStartsInTheDestinationInsteadOfTheFinishDialog) {
  const std::string destination = DefaultDestination("VT Run Program");
  RemovePath(destination);
  // The demo program writes a trace and ends when it finds this variable,
  // which it inherits from setup.
  robot::StartOptions options;
  options.environment = {"VANTOREL_DEMO_TRACE=exit"};
  robot::Program setup = StartSetup(PackagePath("run-program"), options);
  ASSERT_TRUE(setup.Started()) << setup.Error();
  // Nobody presses Finish: setup ends by itself.
  ASSERT_EQ(robot::WaitForExit(setup, 20000), 0u);

  // The program runs on after setup has ended; give it time to write.
  const std::string trace = destination + "\\demoapp-trace.txt";
  std::string text;
  // Two lines: its command line and the folder it was started in.
  for (int i = 0; i < 250 && std::count(text.begin(), text.end(), '\n') < 2; ++i) {
    Sleep(20);
    auto bytes = ReadBytes(trace);
    if (bytes) text.assign(bytes->begin(), bytes->end());
  }
  ASSERT_FALSE(text.empty()) << "the installed program did not run";
  std::size_t second = text.find('\n') + 1;
  EXPECT_EQ(text.substr(second, text.find("\r\n", second) - second), destination);
}

TEST(ClosingStep, MissingProgramIsReportedAndSetupStillSucceeds) {
  RemovePath(DefaultDestination("VT Missing Program"));
  robot::Program setup = StartSetup(PackagePath("missing-program"));
  auto box = AnswerNextBox(setup, IDOK);
  ASSERT_TRUE(box.has_value()) << "no message box";
  EXPECT_EQ(box->text, "Unable to run program.");
  EXPECT_EQ(box->caption, "VT Missing Program Setup");
  EXPECT_EQ(box->icon, robot::BoxIcon::Error) << robot::NameOf(box->icon);
  EXPECT_EQ(robot::WaitForExit(setup), 0u);
  // The install itself went through.
  EXPECT_TRUE(Exists(DefaultDestination("VT Missing Program") + "\\readme.txt"));
}

}  // namespace
