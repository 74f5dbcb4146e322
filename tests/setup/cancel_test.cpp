// Cancel during the install: pressed on the progress dialog, it is asked
// about between two files, at the latest after the last one. Yes stops the
// install (exit code 1; the files written so far stay, removable through
// the Uninstall entry, nothing after the file loop happens); No lets it
// finish. Which file the question follows
// depends on the machine's speed, so the test only asks what holds for any.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "setup_test_support.h"

using namespace setuptest;

namespace {

const char kAppName[] = "VT Many Files";
const char kCaption[] = "VT Many Files Setup";
const int kFileCount = 1500;                               // tests/setup/make-packages
const char kRecordKey[] = "Software\\VantorelCancelTest";  // projects/many-files.toml

std::string InstalledFile(int index) {
  char name[32];
  snprintf(name, sizeof name, "\\file-%04d.txt", index);
  return DefaultDestination(kAppName) + name;
}

// How many files lie in the destination, and whether they are the first
// ones of the table (the loop works in table order).
struct InstalledFiles {
  int count = 0;
  bool inTableOrder = true;
};

InstalledFiles CountInstalledFiles() {
  InstalledFiles files;
  for (int i = 0; i < kFileCount; ++i) {
    if (!Exists(InstalledFile(i))) continue;
    if (files.count != i) files.inTableOrder = false;
    ++files.count;
  }
  return files;
}

bool RecordWritten() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRecordKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

struct CancelQuestion {
  robot::MessageBoxContent box;
  std::string phase;  // the progress dialog's text meanwhile
  bool barVisible = false;
};

// Presses Cancel on the progress dialog as soon as it is there, and reads
// the question that follows and the dialog behind it.
CancelQuestion CancelAndAnswer(const robot::Program& setup, int answer) {
  CancelQuestion question;
  HWND progress = robot::WaitForTopWindow(setup.Id(), "#32770", kCaption, 20000);
  EXPECT_NE(progress, nullptr) << "no progress dialog";
  EXPECT_NE(robot::ChildById(progress, IDC_PROGRESS_TEXT), nullptr) << "not the progress dialog";
  EXPECT_TRUE(robot::Click(robot::ChildById(progress, IDCANCEL)));
  HWND box = robot::WaitForMessageBox(setup.Id(), 20000);
  EXPECT_NE(box, nullptr) << "no question after Cancel";
  if (!box) return question;
  question.box = robot::ReadMessageBox(box);
  question.phase = robot::TextOf(robot::ChildById(progress, IDC_PROGRESS_TEXT));
  question.barVisible = robot::IsVisible(robot::ChildById(progress, IDC_PROGRESS_BAR));
  robot::AnswerMessageBox(box, answer);
  return question;
}

TEST(Cancel, IsAskedBetweenFilesAndYesStopsTheInstall) {
  for (int answer : {IDYES, IDNO}) {
    SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
    RemovePath(DefaultDestination(kAppName));
    RegDeleteTreeA(HKEY_CURRENT_USER, kRecordKey);
    robot::Program setup = StartSetup(PackagePath("many-files"));
    ASSERT_TRUE(setup.Started()) << setup.Error();
    CancelQuestion question = CancelAndAnswer(setup, answer);
    const robot::MessageBoxContent& box = question.box;
    EXPECT_EQ(box.text, "Are you sure you want to exit the installer?");
    EXPECT_EQ(box.caption, kCaption);
    EXPECT_EQ(box.icon, robot::BoxIcon::Question) << robot::NameOf(box.icon);
    EXPECT_EQ(box.buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_EQ(box.defaultButton, "&No");
    // Asked after a file, while the files are being created.
    EXPECT_EQ(question.phase, "Creating files...");
    EXPECT_TRUE(question.barVisible);

    if (answer == IDNO) {
      HWND finish = WaitForFinishDialog(setup, kCaption);
      ASSERT_NE(finish, nullptr);
      robot::Click(robot::ChildById(finish, IDC_FINISH));
    }
    EXPECT_EQ(robot::WaitForExit(setup), answer == IDYES ? 1u : 0u);
    InstalledFiles files = CountInstalledFiles();
    EXPECT_TRUE(files.inTableOrder);
    if (answer == IDYES) {
      // Never asked before the first file: that one stays.
      EXPECT_GE(files.count, 1);
      EXPECT_FALSE(RecordWritten()) << "the install went on after the file loop";
      // What it wrote stays removable: the entry's quiet uninstall takes it.
      auto command =
          RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(kAppName), "QuietUninstallString");
      ASSERT_TRUE(command.has_value());
      EXPECT_EQ(RunUnseen(*command).exitCode, 0u);
      EXPECT_FALSE(Exists(DefaultDestination(kAppName)));
    } else {
      EXPECT_EQ(files.count, kFileCount);
      EXPECT_TRUE(RecordWritten());
    }
  }
}

}  // namespace
