// The 32-bit product as vendors ship it: the i686 setup program, packed by
// vtpack with the demo project, run under 32-bit Wine (WoW64 in the product
// build's own prefix, emulated by qemu-user) and driven by this 64-bit robot.
// Each program start costs about a minute and a half of emulation, so this
// is one run that installs, checks and uninstalls; the thorough tests stay
// on the 64-bit twin (tests/setup). It covers what only the 32-bit build can
// get wrong (structure sizes and packing, calling conventions, WoW64 folder
// and registry redirection).
//
// Folders and registry views are taken from the prefix, never written down:
// a 32-bit program sees the program-files folder that the 32-bit registry
// view names, and its HKLM\Software writes land where that view points.
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hyperlink/hyperlink_address.h"
#include "setup_test_support.h"
#include "wizard_test_support.h"

using namespace setuptest;
using namespace support;
using namespace wizardtest;

namespace {

const char kCaption[] = "Vantorel Demo Setup";
const char kAppName[] = "Vantorel Demo";
const char kDemoKey[] = "Software\\Vantorel\\Demo";

// Starting a 32-bit program costs about 1.5 min of emulation, more on a busy
// machine; a window that has not come after this long is not coming.
const DWORD kEmulatedStartMs = 6 * 60 * 1000;
// One step of the wizard under emulation: a page created, a message box.
const DWORD kEmulatedStepMs = 60 * 1000;

// The program-files folder of 32-bit programs, as the prefix's 32-bit
// registry view gives it (C:\Program Files (x86) on 64-bit Windows).
std::string ProgramFiles32() {
  return RegistryText(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir", KEY_WOW64_32KEY)
      .value_or("");
}

std::string Destination32() { return ProgramFiles32() + "\\" + kAppName; }

// Where the demo puts its shared library: the 32-bit common files folder.
std::string SharedFolder32() {
  return RegistryText(HKEY_LOCAL_MACHINE, kCurrentVersion, "CommonFilesDir", KEY_WOW64_32KEY)
             .value_or("") +
         "\\Vantorel";
}

// The finish dialog; when setup shows a message box instead, the test fails
// at once with its text (the box is answered, so setup can end). The finish
// dialog is built like a box (an unnamed static, a "&Finish" button with the
// id of "Abort"): only its texts tell the two apart.
HWND WaitForFinishOrFail(robot::Program& setup) {
  HWND finish = nullptr;
  HWND box = nullptr;
  robot::MessageBoxContent content;
  robot::WaitUntil(
      [&] {
        HWND window = robot::WaitForMessageBox(setup.Id(), 0);
        if (window != nullptr) {
          content = robot::ReadMessageBox(window, kEmulatedStepMs);
          bool isFinish = content.caption == kCaption && content.buttons.size() == 1 &&
                          content.buttons[0] == "&Finish";
          (isFinish ? finish : box) = window;
        }
        return finish != nullptr || box != nullptr || !setup.Running();
      },
      kEmulatedStartMs);
  if (box != nullptr) {
    ADD_FAILURE() << "setup showed a message box instead of the finish dialog: " << content;
    robot::AnswerMessageBox(box, IDOK);
  } else if (finish == nullptr) {
    ADD_FAILURE() << (setup.Running() ? "no finish dialog in time" : "setup ended without one");
  }
  return finish;
}

// The shortcuts the demo would make.
std::vector<std::string> DemoShortcuts() {
  std::vector<std::string> links;
  for (int folder : {CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY, CSIDL_STARTUP}) {
    links.push_back(SpecialFolderPath(folder) + "\\" + kAppName + ".lnk");
  }
  return links;
}

// The demo package selects the welcome, licence, destination and shortcuts
// pages: the wizard goes through each, with the 32-bit structures of the
// sheet, its pages and the banner link's tooltip. The demo is installed
// without shortcuts (README, "The 32-bit product", says why), checked where
// a 32-bit program installs, and removed again by the uninstaller its
// Uninstall entry names.
TEST(Product32, DemoInstallsAndUninstalls) {
  // Without the 32-bit half of the prefix the install would test the wrong
  // folder: the two views must name two folders.
  const std::string programFiles32 = ProgramFiles32();
  ASSERT_FALSE(programFiles32.empty()) << "no 32-bit program-files folder in the prefix";
  ASSERT_NE(programFiles32, ProgramFilesDirectory());
  ASSERT_EQ(programFiles32, *RegistryText(HKEY_LOCAL_MACHINE, kCurrentVersion,
                                          "ProgramFilesDir (x86)", KEY_WOW64_64KEY));
  const std::string destination = Destination32();
  RemovePath(destination);
  for (const std::string& link : DemoShortcuts()) RemovePath(link);
  RemovePath(WindowsDirectory() + "\\VTUnInst.exe");
  RemovePath(SharedFolder32());
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    DeleteRegistryKey(HKEY_CURRENT_USER, kDemoKey, view);
  }
  // Windows has the key of shared-file counts; a new Wine prefix does not
  // (setup then says "Unable to open registry key."). A 32-bit program's
  // counts live in the 32-bit view.
  const std::string sharedLibrary = SharedFolder32() + "\\vtdemoshared.dll";
  ASSERT_TRUE(
      WriteRegistryNumber(HKEY_LOCAL_MACHINE, kSharedDlls, sharedLibrary, {}, KEY_WOW64_32KEY));

  robot::Program setup = StartSetup(PackagePath("DemoSetup"));
  ASSERT_TRUE(setup.Started()) << setup.Error();

  HWND sheet = WaitForSheet(setup, kEmulatedStartMs);
  ASSERT_NE(sheet, nullptr) << "no wizard";
  ASSERT_TRUE(Settle(sheet, kEmulatedStepMs));
  EXPECT_EQ(robot::TextOf(sheet), kCaption);
  const struct {
    Page page;
    const char* buttons;
  } steps[] = {
      {Page::kWelcome, "Next"},
      {Page::kLicence, "Back Next(off)"},
      {Page::kDestination, "Back Next"},
      {Page::kShortcuts, "Back Install"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(NameOf(step.page));
    ASSERT_EQ(NameOf(CurrentPage(sheet)), std::string(NameOf(step.page)));
    EXPECT_EQ(Buttons(sheet), step.buttons);
    HWND link = robot::ChildById(CurrentPageWindow(sheet), kHyperlink);
    RECT linkArea = {};
    GetClientRect(link, &linkArea);
    EXPECT_EQ(linkArea.right, 56);
    robot::SaveWindowScreenshot(sheet, std::string("product32-wizard-") + NameOf(step.page));
    if (step.page == Page::kLicence) {
      ASSERT_TRUE(Press(sheet, kAgree, kEmulatedStepMs));
    }
    if (step.page == Page::kDestination) {
      EXPECT_EQ(robot::TextOf(robot::ChildById(sheet, kDestinationEdit)), destination);
    }
    if (step.page == Page::kShortcuts) {
      for (int box : {kProgramsBox, kDesktopBox, kStartupBox}) {
        HWND check = robot::ChildById(sheet, box);
        if (robot::IsChecked(check)) {
          ASSERT_TRUE(Press(sheet, box, kEmulatedStepMs));
        }
        EXPECT_FALSE(robot::IsChecked(check));
      }
    } else {
      ASSERT_TRUE(Press(sheet, kNext, kEmulatedStepMs));
    }
  }
  // The tooltip's tool: shown when the pointer rests on the link.
  ASSERT_TRUE(
      robot::MoveMouseTo(robot::CentreOf(robot::ChildById(CurrentPageWindow(sheet), kHyperlink))));
  EXPECT_NE(
      robot::WaitForTopWindow(setup.Id(), "tooltips_class32", HyperlinkAddress, kEmulatedStepMs),
      nullptr)
      << "no tooltip over the banner link";
  ASSERT_TRUE(robot::Click(robot::ChildById(sheet, kFinish)));

  HWND finish = WaitForFinishOrFail(setup);
  ASSERT_NE(finish, nullptr);
  robot::SaveScreenshot("product32_finish_dialog");
  ASSERT_TRUE(robot::IsDefaultButton(robot::ChildById(finish, IDC_FINISH)));
  ASSERT_TRUE(robot::Click(robot::ChildById(finish, IDC_FINISH)));
  ASSERT_EQ(robot::WaitForExit(setup, 60000), 0u);

  // Byte for byte, where a 32-bit program installs.
  const struct {
    const char* input;
    std::string installedAt;
  } files[] = {
      {"demoapp.exe", destination + "\\demoapp.exe"},
      {"readme.txt", destination + "\\readme.txt"},
      {"licence.txt", destination + "\\Docs\\licence.txt"},
      {"vtdemoreg.dll", destination + "\\vtdemoreg.dll"},
      {"vtdemoshared.dll", sharedLibrary},
      {"VTUnInst.exe", WindowsDirectory() + "\\VTUnInst.exe"},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.installedAt);
    auto installed = ReadBytes(file.installedAt);
    ASSERT_TRUE(installed.has_value()) << "not installed";
    auto expected = ReadBytes(InputFile(file.input));
    ASSERT_TRUE(expected.has_value()) << InputFile(file.input);
    EXPECT_TRUE(*installed == *expected) << "differs from " << InputFile(file.input);
  }
  EXPECT_FALSE(Exists(ProgramFilesDirectory() + "\\" + kAppName))
      << "installed into the 64-bit program-files folder";
  for (const std::string& link : DemoShortcuts()) EXPECT_FALSE(Exists(link)) << link;
  EXPECT_EQ(RegistryNumber(HKEY_LOCAL_MACHINE, kSharedDlls, sharedLibrary, KEY_WOW64_32KEY), 1u)
      << "the shared library's count";

  // HKCU\Software is one key for both views (README, "Registry views of
  // the 32-bit product").
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    SCOPED_TRACE(view == KEY_WOW64_32KEY ? "32-bit view" : "64-bit view");
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kDemoKey, "InstallDir", view), destination);
    EXPECT_EQ(RegistryNumber(HKEY_CURRENT_USER, kDemoKey, "Runs", view), 0u);
  }

  // The Uninstall entry lands in the 32-bit view (WOW6432Node). Its
  // command line, run as Windows runs it, removes the demo again.
  const std::string uninstallKey = std::string(kCurrentVersion) + "\\Uninstall\\" + kAppName;
  const std::string command =
      RegistryText(HKEY_LOCAL_MACHINE, uninstallKey, "UninstallString", KEY_WOW64_32KEY)
          .value_or("");
  ASSERT_EQ(command, WindowsDirectory() + "\\VTUnInst.exe " + destination + "\\Uninst.log");
  robot::Program uninstaller = robot::StartCommandLine(command);
  ASSERT_TRUE(uninstaller.Started()) << uninstaller.Error();
  auto confirmation = AnswerNextBox(uninstaller, IDYES, kEmulatedStartMs);
  ASSERT_TRUE(confirmation.has_value()) << "no confirmation";
  EXPECT_EQ(confirmation->text,
            "Are you sure you want to remove Vantorel Demo and all of its components?");
  // The demo was the shared library's only user: its count reaches 0 and
  // the user is asked about the file.
  auto sharedQuestion = AnswerNextBox(uninstaller, IDYES, kEmulatedStartMs);
  ASSERT_TRUE(sharedQuestion.has_value()) << "no question about the shared library";
  EXPECT_EQ(sharedQuestion->text,
            "No program uses the shared file '" + sharedLibrary +
                "' any more.\n\nDo you want to remove it? A program that still needs it may stop "
                "working: when in doubt, choose No.");
  auto outcome = AnswerNextBox(uninstaller, IDOK, kEmulatedStartMs);
  ASSERT_TRUE(outcome.has_value()) << "no closing message";
  EXPECT_EQ(outcome->text, "Vantorel Demo was removed from your computer.");
  EXPECT_EQ(robot::WaitForExit(uninstaller, 60000), 0u);
  EXPECT_FALSE(Exists(destination));
  EXPECT_FALSE(Exists(sharedLibrary));
  EXPECT_EQ(RegistryNumber(HKEY_LOCAL_MACHINE, kSharedDlls, sharedLibrary, KEY_WOW64_32KEY),
            std::nullopt)
      << "the shared library's count stayed";
  EXPECT_TRUE(Exists(WindowsDirectory() + "\\VTUnInst.exe"));
  EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, uninstallKey, "DisplayName", KEY_WOW64_32KEY),
            std::nullopt);
}

}  // namespace
