// The demo as vendors ship it, for each architecture: packed by vtpack,
// installed through its wizard, checked where it landed, and removed again
// by the uninstaller its Uninstall entry names. One table, two runs:
//   x86  the i686 product under 32-bit Wine (WoW64 in the product build's
//        own prefix, emulated by qemu-user): each program start costs about
//        a minute and a half, so this is the one run of the 32-bit product;
//        it covers what only the 32-bit build can get wrong (structure sizes
//        and packing, calling conventions, WoW64 folder and registry
//        redirection)
//   x64  the 64-bit twin in the 64-bit prefix of windows-x64, packed as an
//        x64 package (examples/demo/project-x64.toml)
// Both are driven by this 64-bit robot. The thorough tests stay on the
// 64-bit twin (tests/setup).
//
// Folders and registry views are taken from the prefix, never written down:
// a 32-bit program sees the program-files folder that the 32-bit registry
// view names, its HKLM\Software writes land where that view points, and its
// system folder is the 32-bit one (SysWOW64).
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

// Where the demo registers its library (examples/demo/demo_register.c).
const char kComponentKey[] = "Software\\Vantorel\\Demo\\Component";

struct Architecture {
  const char* name;
  const char* appName;
  const char* demoKey;  // its registry records, below HKLM and HKCU
  const char* uninstaller;
  REGSAM view;  // where its setup program's HKLM\Software writes land (32: under WoW64)
  // How long a program takes to show its first window, and one step of the
  // wizard (a page created, a message box): under emulation a window that
  // has not come after this long is not coming.
  DWORD startMs;
  DWORD stepMs;
};

const Architecture kArchitectures[] = {
    {"x86", "Vantorel Demo", "Software\\Vantorel\\Demo", "VTUnInst.exe", KEY_WOW64_32KEY,
     6 * 60 * 1000, 60 * 1000},
    {"x64", "Vantorel Demo x64", "Software\\Vantorel\\Demo x64", "VTUnInst64.exe", KEY_WOW64_64KEY,
     30 * 1000, 10 * 1000},
};

// A folder as the prefix's registry view gives it.
std::string CurrentVersionText(REGSAM view, const char* name) {
  return RegistryText(HKEY_LOCAL_MACHINE, kCurrentVersion, name, view).value_or("");
}

REGSAM OtherView(const Architecture& a) {
  return a.view == KEY_WOW64_32KEY ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
}

std::string SystemFolder(const Architecture& a) {
  char buffer[MAX_PATH];
  return a.view == KEY_WOW64_32KEY ? std::string(buffer, GetSystemWow64DirectoryA(buffer, MAX_PATH))
                                   : SystemDirectory();
}

class Architectures : public testing::TestWithParam<Architecture> {};

// The finish dialog; when setup shows a message box instead, the test fails
// at once with its text (the box is answered, so setup can end). The finish
// dialog is built like a box (an unnamed static, a "&Finish" button with the
// id of "Abort"): only its texts tell the two apart.
HWND WaitForFinishOrFail(robot::Program& setup, const Architecture& a) {
  const std::string caption = std::string(a.appName) + " Setup";
  HWND finish = nullptr;
  HWND box = nullptr;
  robot::MessageBoxContent content;
  robot::WaitUntil(
      [&] {
        HWND window = robot::WaitForMessageBox(setup.Id(), 0);
        if (window != nullptr) {
          content = robot::ReadMessageBox(window, a.stepMs);
          bool isFinish = content.caption == caption && content.buttons.size() == 1 &&
                          content.buttons[0] == "&Finish";
          (isFinish ? finish : box) = window;
        }
        return finish != nullptr || box != nullptr || !setup.Running();
      },
      a.startMs);
  if (box != nullptr) {
    ADD_FAILURE() << "setup showed a message box instead of the finish dialog: " << content;
    robot::AnswerMessageBox(box, IDOK);
  } else if (finish == nullptr) {
    ADD_FAILURE() << (setup.Running() ? "no finish dialog in time" : "setup ended without one");
  }
  return finish;
}

// The shortcuts the demo would make.
std::vector<std::string> DemoShortcuts(const Architecture& a) {
  std::vector<std::string> links;
  for (int folder : {CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY, CSIDL_STARTUP}) {
    links.push_back(SpecialFolderPath(folder) + "\\" + a.appName + ".lnk");
  }
  return links;
}

// The demo package selects the welcome, licence, destination and shortcuts
// pages: the wizard goes through each (under WoW64 with the 32-bit
// structures of the sheet, its pages and the banner link's tooltip), and
// the demo is installed without shortcuts (README, "The 32-bit product",
// says why).
void InstallThroughTheWizard(const Architecture& a, const std::string& destination) {
  robot::Program setup = StartSetup(PackagePath("DemoSetup"));
  ASSERT_TRUE(setup.Started()) << setup.Error();
  HWND sheet = WaitForSheet(setup, a.startMs);
  ASSERT_NE(sheet, nullptr) << "no wizard";
  ASSERT_TRUE(Settle(sheet, a.stepMs));
  EXPECT_EQ(robot::TextOf(sheet), std::string(a.appName) + " Setup");
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
    robot::SaveWindowScreenshot(sheet,
                                std::string("demo-") + a.name + "-wizard-" + NameOf(step.page));
    if (step.page == Page::kLicence) ASSERT_TRUE(Press(sheet, kAgree, a.stepMs));
    if (step.page == Page::kDestination) {
      EXPECT_EQ(robot::TextOf(robot::ChildById(sheet, kDestinationEdit)), destination);
    }
    if (step.page != Page::kShortcuts) {
      ASSERT_TRUE(Press(sheet, kNext, a.stepMs));
      continue;
    }
    for (int box : {kProgramsBox, kDesktopBox, kStartupBox}) {
      HWND check = robot::ChildById(sheet, box);
      if (robot::IsChecked(check)) ASSERT_TRUE(Press(sheet, box, a.stepMs));
      EXPECT_FALSE(robot::IsChecked(check));
    }
  }
  // The tooltip's tool: shown when the pointer rests on the link.
  ASSERT_TRUE(
      robot::MoveMouseTo(robot::CentreOf(robot::ChildById(CurrentPageWindow(sheet), kHyperlink))));
  EXPECT_NE(robot::WaitForTopWindow(setup.Id(), "tooltips_class32", HyperlinkAddress, a.stepMs),
            nullptr)
      << "no tooltip over the banner link";
  ASSERT_TRUE(robot::Click(robot::ChildById(sheet, kFinish)));
  HWND finish = WaitForFinishOrFail(setup, a);
  ASSERT_NE(finish, nullptr);
  robot::SaveScreenshot(std::string("demo-") + a.name + "-finish-dialog");
  ASSERT_TRUE(robot::IsDefaultButton(robot::ChildById(finish, IDC_FINISH)));
  ASSERT_TRUE(robot::Click(robot::ChildById(finish, IDC_FINISH)));
  ASSERT_EQ(robot::WaitForExit(setup, 60000), 0u);
}

// Its Uninstall entry's command line, run as Windows runs it: the user
// agrees, and removes the shared library, which only the demo counted.
void UninstallThroughTheEntry(const Architecture& a, const std::string& command,
                              const std::string& sharedLibrary) {
  robot::Program uninstaller = robot::StartCommandLine(command);
  ASSERT_TRUE(uninstaller.Started()) << uninstaller.Error();
  auto confirmation = AnswerNextBox(uninstaller, IDYES, a.startMs);
  ASSERT_TRUE(confirmation.has_value()) << "no confirmation";
  EXPECT_EQ(confirmation->text, std::string("Are you sure you want to remove ") + a.appName +
                                    " and all of its components?");
  auto sharedQuestion = AnswerNextBox(uninstaller, IDYES, a.startMs);
  ASSERT_TRUE(sharedQuestion.has_value()) << "no question about the shared library";
  EXPECT_EQ(sharedQuestion->text,
            "No program uses the shared file '" + sharedLibrary +
                "' any more.\n\nDo you want to remove it? A program that still needs it may stop "
                "working: when in doubt, choose No.");
  auto outcome = AnswerNextBox(uninstaller, IDOK, a.startMs);
  ASSERT_TRUE(outcome.has_value()) << "no closing message";
  EXPECT_EQ(outcome->text, std::string(a.appName) + " was removed from your computer.");
  EXPECT_EQ(robot::WaitForExit(uninstaller, 60000), 0u);
}

TEST_P(Architectures, DemoInstallsAndUninstalls) {
  const Architecture& a = GetParam();
  // Without the 32-bit half of the prefix the install would test the wrong
  // folders: the two views must name two program-files folders.
  const std::string programFiles = CurrentVersionText(a.view, "ProgramFilesDir");
  const std::string otherProgramFiles = CurrentVersionText(OtherView(a), "ProgramFilesDir");
  ASSERT_FALSE(programFiles.empty()) << "no program-files folder in the view";
  ASSERT_NE(programFiles, otherProgramFiles);
  const std::string destination = programFiles + "\\" + a.appName;
  const std::string systemLibrary = SystemFolder(a) + "\\vtdemoreg.dll";
  const std::string sharedLibrary =
      CurrentVersionText(a.view, "CommonFilesDir") + "\\Vantorel\\vtdemoshared.dll";
  const std::string uninstallKey = std::string(kCurrentVersion) + "\\Uninstall\\" + a.appName;
  RemovePath(destination);
  for (const std::string& link : DemoShortcuts(a)) RemovePath(link);
  for (const std::string& path :
       {WindowsDirectory() + "\\" + a.uninstaller, systemLibrary, sharedLibrary}) {
    RemovePath(path);
  }
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    DeleteRegistryKey(HKEY_CURRENT_USER, a.demoKey, view);
    DeleteRegistryKey(HKEY_LOCAL_MACHINE, a.demoKey, view);
  }
  DeleteRegistryKey(HKEY_CURRENT_USER, kComponentKey);
  // Windows has the key of shared-file counts; a new Wine prefix does not
  // (setup then says "Unable to open registry key.").
  ASSERT_TRUE(WriteRegistryNumber(HKEY_LOCAL_MACHINE, kSharedDlls, sharedLibrary, {}, a.view));

  InstallThroughTheWizard(a, destination);
  if (HasFatalFailure()) return;

  // Byte for byte, where a program of the architecture installs.
  const struct {
    const char* input;
    std::string installedAt;
  } files[] = {
      {"demoapp.exe", destination + "\\demoapp.exe"},
      {"readme.txt", destination + "\\readme.txt"},
      {"licence.txt", destination + "\\Docs\\licence.txt"},
      {"vtdemoreg.dll", systemLibrary},
      {"vtdemoshared.dll", sharedLibrary},
      {"uninstaller.exe", WindowsDirectory() + "\\" + a.uninstaller},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.installedAt);
    auto installed = ReadBytes(file.installedAt);
    ASSERT_TRUE(installed.has_value()) << "not installed";
    auto expected = ReadBytes(InputFile(file.input));
    ASSERT_TRUE(expected.has_value()) << InputFile(file.input);
    EXPECT_TRUE(*installed == *expected) << "differs from " << InputFile(file.input);
  }
  EXPECT_FALSE(Exists(otherProgramFiles + "\\" + a.appName))
      << "installed into the other program-files folder";
  for (const std::string& link : DemoShortcuts(a)) EXPECT_FALSE(Exists(link)) << link;
  EXPECT_EQ(RegistryNumber(HKEY_LOCAL_MACHINE, kSharedDlls, sharedLibrary, a.view), 1u)
      << "the shared library's count";
  // The library that registers itself: only a program of its own
  // architecture can load it, from the system folder it lies in (named
  // System32 under Wine by the 32-bit RegSvr32 too), whether setup waited
  // for it or not.
  std::string registered;
  robot::WaitUntil(
      [&] {
        registered = RegistryText(HKEY_CURRENT_USER, kComponentKey, "Path").value_or("");
        return !registered.empty();
      },
      a.startMs);
  EXPECT_TRUE(_stricmp(registered.c_str(), (SystemDirectory() + "\\vtdemoreg.dll").c_str()) == 0)
      << "registered from \"" << registered << "\"";

  // The machine-wide record in the architecture's view only; HKCU\Software
  // is one key for both views (README, "Registry views").
  EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, a.demoKey, "InstallDir", a.view), destination);
  EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, a.demoKey, "InstallDir", OtherView(a)), std::nullopt);
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    SCOPED_TRACE(view == KEY_WOW64_32KEY ? "32-bit view" : "64-bit view");
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, a.demoKey, "InstallDir", view), destination);
    EXPECT_EQ(RegistryNumber(HKEY_CURRENT_USER, a.demoKey, "Runs", view), 0u);
  }

  // The Uninstall entry lands in the architecture's view too.
  const std::string command =
      RegistryText(HKEY_LOCAL_MACHINE, uninstallKey, "UninstallString", a.view).value_or("");
  ASSERT_EQ(command,
            WindowsDirectory() + "\\" + a.uninstaller + " " + destination + "\\Uninst.log");
  EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, uninstallKey, "DisplayName", OtherView(a)),
            std::nullopt);
  UninstallThroughTheEntry(a, command, sharedLibrary);
  EXPECT_FALSE(Exists(destination));
  EXPECT_FALSE(Exists(systemLibrary));
  EXPECT_FALSE(Exists(sharedLibrary));
  EXPECT_EQ(RegistryNumber(HKEY_LOCAL_MACHINE, kSharedDlls, sharedLibrary, a.view), std::nullopt)
      << "the shared library's count stayed";
  EXPECT_TRUE(Exists(WindowsDirectory() + "\\" + a.uninstaller));
  EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, uninstallKey, "DisplayName", a.view), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Demo, Architectures, testing::ValuesIn(kArchitectures),
                         [](const testing::TestParamInfo<Architecture>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
