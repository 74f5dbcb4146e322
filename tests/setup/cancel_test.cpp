// Cancel during the install: pressed on the progress dialog, it is asked
// about between two files. Yes stops the install (exit code 1, what was
// written stays); No lets it finish.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "setup_test_support.h"

using namespace setuptest;

namespace {

const char kCaption[] = "VT Many Files Setup";
const int kFileCount = 1500;  // tests/setup/make-packages

std::string InstalledFile(int index) {
  char name[32];
  snprintf(name, sizeof name, "\\file-%04d.txt", index);
  return DefaultDestination("VT Many Files") + name;
}

struct CancelQuestion {
  robot::MessageBoxContent box;
  std::string phase;         // the progress dialog's text meanwhile
  bool barVisible = false;
};

// Presses Cancel on the progress dialog as soon as it is there, and reads
// the question that follows and the dialog behind it.
CancelQuestion CancelAndAnswer(const robot::Program& setup, int answer) {
  CancelQuestion question;
  HWND progress = robot::WaitForTopWindow(setup.Id(), "#32770", kCaption, 20000);
  EXPECT_NE(progress, nullptr) << "no progress dialog";
  EXPECT_NE(robot::ChildById(progress, 1028), nullptr) << "not the progress dialog";
  EXPECT_TRUE(robot::Click(robot::ChildById(progress, IDCANCEL)));
  HWND box = robot::WaitForMessageBox(setup.Id(), 20000);
  EXPECT_NE(box, nullptr) << "no question after Cancel";
  if (!box) return question;
  question.box = robot::ReadMessageBox(box);
  question.phase = robot::TextOf(robot::ChildById(progress, 1028));
  question.barVisible = robot::IsVisible(robot::ChildById(progress, 1027));
  robot::AnswerMessageBox(box, answer);
  return question;
}

TEST(Cancel, ConfirmedBetweenFilesStopsWithExitCode1) {
  RemovePath(DefaultDestination("VT Many Files"));
  robot::Program setup = StartSetup(PackagePath("many-files"));
  ASSERT_TRUE(setup.Started());
  CancelQuestion question = CancelAndAnswer(setup, IDYES);
  const robot::MessageBoxContent& box = question.box;
  EXPECT_EQ(box.text, "Are you sure you want to exit the installer?");
  EXPECT_EQ(box.caption, kCaption);
  EXPECT_EQ(box.icon, robot::BoxIcon::Question) << robot::NameOf(box.icon);
  EXPECT_EQ(box.buttons, (std::vector<std::string>{"&Yes", "&No"}));
  EXPECT_EQ(box.defaultButton, "&No");
  // Asked between two files, while they are being created.
  EXPECT_EQ(question.phase, "Creating files...");
  EXPECT_TRUE(question.barVisible);
  EXPECT_EQ(robot::WaitForExit(setup), 1u);
  // Asked after a file, never before the first: that one stays.
  EXPECT_TRUE(Exists(InstalledFile(0)));
  EXPECT_FALSE(Exists(InstalledFile(kFileCount - 1)));
}

TEST(Cancel, DeclinedInstallsEverything) {
  RemovePath(DefaultDestination("VT Many Files"));
  robot::Program setup = StartSetup(PackagePath("many-files"));
  ASSERT_TRUE(setup.Started());
  CancelAndAnswer(setup, IDNO);
  HWND finish = WaitForFinishDialog(setup, kCaption);
  ASSERT_NE(finish, nullptr);
  robot::Click(robot::ChildById(finish, 3));
  EXPECT_EQ(robot::WaitForExit(setup), 0u);
  for (int i : {0, kFileCount / 2, kFileCount - 1}) EXPECT_TRUE(Exists(InstalledFile(i))) << i;
}

}  // namespace
