// How a completed install ends when the package asks for its program to be
// started: the program runs in the destination folder and no finish dialog
// is shown; a program that cannot be started is reported, and setup still
// ends well.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "setup_test_support.h"

using namespace setuptest;

namespace {

TEST(ClosingStep, InstalledProgramStartsInTheDestinationInsteadOfTheFinishDialog) {
  const std::string destination = DefaultDestination("VT Run Program");
  RemovePath(destination);
  robot::Program setup = StartSetup(PackagePath("run-program"));
  ASSERT_TRUE(setup.Started()) << setup.Error();
  // Nobody presses Finish: setup ends by itself.
  ASSERT_EQ(robot::WaitForExit(setup, 20000), 0u);

  // The program runs on after setup has ended; give it time to write.
  const std::string trace = destination + "\\started-in.txt";
  for (int i = 0; i < 250 && !Exists(trace); ++i) Sleep(20);
  auto folder = ReadBytes(trace);
  ASSERT_TRUE(folder.has_value()) << "the installed program did not run";
  Sleep(100);  // the program may still be writing
  folder = ReadBytes(trace);
  EXPECT_EQ(std::string(folder->begin(), folder->end()), destination);
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
