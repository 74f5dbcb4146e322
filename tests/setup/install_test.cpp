// Installing as a user would: a setup executable packed by vtpack, whose
// header selects no wizard page, run under Wine and ended through its
// finish dialog.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "registry.h"
#include "robot/planted_dlls.h"
#include "setup_test_support.h"

using namespace setuptest;

namespace {

struct ExpectedFile {
  std::string input;        // staged file whose bytes and time it must have
  std::string installedAt;  // full path after the install
};

std::vector<ExpectedFile> EveryDestinationFiles() {
  const std::string app = DefaultDestination("VT Every Destination");
  return {
      {"readme.txt", app + "\\readme.txt"},
      {"manual.txt", app + "\\Docs\\Manual\\manual.txt"},
      {"empty.dat", app + "\\empty.dat"},
      {"data-1.bin", WindowsDirectory() + "\\VantorelSetupTest\\data-1.bin"},
      {"data-2.bin", SystemDirectory() + "\\VantorelSetupTest\\data-2.bin"},
      {"data-3.bin", FontsDirectory() + "\\VantorelSetupTest\\data-3.bin"},
      {"data-4.bin", ProgramFilesDirectory() + "\\VantorelSetupTest\\With Blanks\\data-4.bin"},
      {"data-5.bin", CommonFilesDirectory() + "\\VantorelSetupTest\\data-5.bin"},
  };
}

void RemoveEveryDestination() {
  RemovePath(DefaultDestination("VT Every Destination"));
  for (const std::string& base : {WindowsDirectory(), SystemDirectory(), FontsDirectory(),
                                  ProgramFilesDirectory(), CommonFilesDirectory()}) {
    RemovePath(base + "\\VantorelSetupTest");
  }
  RemovePath(InstalledUninstaller());
}

TEST(Install, EveryDestinationTypeGetsItsBytesFoldersAndTimes) {
  RemoveEveryDestination();
  robot::Program setup = StartSetup(PackagePath("every-destination"));
  ASSERT_TRUE(setup.Started()) << setup.Error();
  HWND finish = WaitForFinishDialog(setup, "VT Every Destination Setup");
  ASSERT_NE(finish, nullptr) << "no finish dialog";
  // To look at: the vendor's 16-pixel image in the caption, not ours.
  robot::SaveWindowScreenshot(finish, "finish-with-the-vendors-icon");
  ASSERT_TRUE(robot::Click(robot::ChildById(finish, IDC_FINISH)));
  ASSERT_EQ(robot::WaitForExit(setup), 0u);

  for (const ExpectedFile& file : EveryDestinationFiles()) {
    SCOPED_TRACE(file.installedAt);
    auto installed = ReadBytes(file.installedAt);
    ASSERT_TRUE(installed.has_value()) << "not installed";
    EXPECT_EQ(*installed, *ReadBytes(InputFile(file.input)));
    // The packer records the input's time; setup keeps it to the minute.
    auto time = LastWriteTime(file.installedAt);
    auto expected = ToMinute(*LastWriteTime(InputFile(file.input)));
    ASSERT_TRUE(time.has_value());
    EXPECT_EQ(CompareFileTime(&*time, &expected), 0)
        << "installed " << Describe(*time) << ", expected " << Describe(expected);
  }
  // The project's publisher and web address, in the application's entry.
  const std::string key = UninstallKey("VT Every Destination");
  EXPECT_EQ(support::RegistryText(HKEY_LOCAL_MACHINE, key, "Publisher"), "Vantorel Test Vendor");
  EXPECT_EQ(support::RegistryText(HKEY_LOCAL_MACHINE, key, "URLInfoAbout"),
            "https://vantorel.example/every-destination");
}

// The setup file carries the vendor's icon as its own (the setup above ran
// from that image): Windows' resource loader finds the icon file's images
// under the setup program's icon, the one its windows load, and makes an
// icon of them.
TEST(Install, TheSetupFileCarriesTheVendorsIcon) {
  HMODULE setup =
      LoadLibraryExA(PackagePath("every-destination").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(setup, nullptr);
  auto resource = [setup](LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(setup, name, type);
    const BYTE* data =
        found ? static_cast<const BYTE*>(LockResource(LoadResource(setup, found))) : nullptr;
    return data ? std::vector<BYTE>(data, data + SizeofResource(setup, found))
                : std::vector<BYTE>();
  };
  std::vector<BYTE> group = resource(MAKEINTRESOURCEA(110), RT_GROUP_ICON);
  std::vector<BYTE> ico = *ReadBytes(InputFile("vendor.ico"));
  ASSERT_EQ(group.size(), 6u + 14 * 4);
  for (int i = 0; i < 4; ++i) {
    const BYTE* entry = &ico[6 + 16 * i];
    DWORD size = *reinterpret_cast<const DWORD*>(entry + 8),
          offset = *reinterpret_cast<const DWORD*>(entry + 12);
    WORD id = *reinterpret_cast<const WORD*>(&group[6 + 14 * i + 12]);
    EXPECT_EQ(resource(MAKEINTRESOURCEA(id), RT_ICON),
              std::vector<BYTE>(&ico[offset], &ico[offset] + size))
        << i;
  }
  HICON icon = static_cast<HICON>(LoadImageA(setup, MAKEINTRESOURCEA(110), IMAGE_ICON, 48, 48, 0));
  EXPECT_NE(icon, nullptr);
  DestroyIcon(icon);
  FreeLibrary(setup);
}

TEST(Install, UninstallerLandsInTheWindowsDirectory) {
  RemoveEveryDestination();
  robot::Program setup = StartSetup(PackagePath("every-destination"));
  HWND finish = WaitForFinishDialog(setup, "VT Every Destination Setup");
  ASSERT_NE(finish, nullptr);
  robot::Click(robot::ChildById(finish, IDC_FINISH));
  ASSERT_EQ(robot::WaitForExit(setup), 0u);

  auto uninstaller = ReadBytes(InstalledUninstaller());
  ASSERT_TRUE(uninstaller.has_value());
  EXPECT_EQ(*uninstaller, *ReadBytes(robot::WindowsPathOf(kUninstallerProgram)));
}

// The demo program's window has the class the package names: setup asks it
// to close, and it does.
TEST(Install, RunningProgramIsAskedToClose) {
  robot::Program demo = robot::Start(InputFile("demoapp.exe"));
  ASSERT_NE(robot::WaitForTopWindow(demo.Id(), "VantorelDemoWindow"), nullptr);
  robot::Program setup = StartSetup(PackagePath("no-files"));
  // Setup neither waits for it nor checks: the program is gone before the
  // install ends.
  EXPECT_EQ(robot::WaitForExit(demo), 0u);
  HWND finish = WaitForFinishDialog(setup, "VT No Files Setup");
  ASSERT_NE(finish, nullptr);
  robot::Click(robot::ChildById(finish, IDC_FINISH));
  EXPECT_EQ(robot::WaitForExit(setup), 0u);
}

// Its destination folder then holds the uninstall log and the install
// record alone, so that the Uninstall entry it registers can remove the
// application.
TEST(Install, PackageWithoutFilesStillWritesTheUninstaller) {
  const std::string destination = DefaultDestination("VT No Files");
  RemovePath(InstalledUninstaller());
  RemovePath(destination);
  robot::Program setup = StartSetup(PackagePath("no-files"));
  HWND finish = WaitForFinishDialog(setup, "VT No Files Setup");
  ASSERT_NE(finish, nullptr);
  robot::Click(robot::ChildById(finish, IDC_FINISH));
  EXPECT_EQ(robot::WaitForExit(setup), 0u);
  EXPECT_TRUE(Exists(InstalledUninstaller()));
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((destination + "\\*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE) << "no destination folder";
  std::vector<std::string> names;
  do {
    if (found.cFileName[0] != '.') names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Uninst.log", "Uninst.rec"}));
  RemovePath(destination);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey("VT No Files").c_str());
  // The links the stand-in wizard chose.
  for (int folder : {CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY, CSIDL_STARTUP}) {
    RemovePath(SpecialFolderPath(folder) + "\\VT No Files.lnk");
  }
}

// A setup saved into a folder named in a script that the 8-bit code page
// lacks (its 8-bit path holds "?" there) still reads its own file.
TEST(Install, StartsFromAFolderOfAnyName) {
  const std::string appName = "VT Any Folder";
  testpkg::TestPackage package = PackageWithoutPages(appName);
  AddFile(package, "readme.txt", testpkg::ToBytes("read me"));
  const std::string setupFile =
      WriteSetup("any-folder", SetupFileAround(testpkg::BuildPackage(package)));
  const std::wstring scratch(setupFile.begin(), setupFile.end() - strlen("\\setup.exe"));
  for (const wchar_t* name :
       {L"\u0423\u0441\u0442\u0430\u043d\u043e\u0432\u043a\u0430",  // Cyrillic
        L"\u65e5\u672c\u8a9e"}) {                                   // Japanese
    std::wstring folder = scratch + L"\\" + name;
    std::wstring copy = folder + L"\\Setup.exe";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(
        CopyFileW(std::wstring(setupFile.begin(), setupFile.end()).c_str(), copy.c_str(), FALSE));
    RemovePath(DefaultDestination(appName));

    robot::Program setup = robot::Start(copy);
    ASSERT_TRUE(setup.Started()) << setup.Error();
    HWND finish = WaitForFinishDialog(setup, appName + " Setup");
    ASSERT_NE(finish, nullptr) << "no finish dialog";
    robot::Click(robot::ChildById(finish, IDC_FINISH));
    EXPECT_EQ(robot::WaitForExit(setup), 0u);
    EXPECT_EQ(ReadBytes(DefaultDestination(appName) + "\\readme.txt"), testpkg::ToBytes("read me"));
  }
}

// A downloads folder may hold DLLs named like system ones. The setup program
// imports only DLLs that Windows always takes from the system directory
// (KnownDLLs; checked by the build), so the DLLs planted here are the ones
// it or the system's DLLs load while it runs, Wine told to prefer them to
// its own. None may be loaded, with one exception that comes from Wine, not
// from the program: Wine's user32 imports version.dll, so Wine loads it
// from the program's folder before the program's first instruction (the
// planted copy passes the calls on; Windows' user32 does not import it).
TEST(Install, NoDllIsTakenFromTheSetupFolder) {
  const std::string folder = ScratchFolder("planted-dlls");
  const std::string setupName = "PlantedFolderSetup.exe";
  ASSERT_TRUE(WriteBytes(folder + "\\" + setupName, *ReadBytes(PackagePath("version-rule"))));
  const std::vector<std::string> planted = {
      "uxtheme.dll",  "comctl32.dll", "dwmapi.dll",  "propsys.dll",      "cryptbase.dll",
      "userenv.dll",  "profapi.dll",  "winmm.dll",   "apphelp.dll",      "cabinet.dll",
      "wintrust.dll", "crypt32.dll",  "sspicli.dll", "windowscodecs.dll"};
  ASSERT_TRUE(robot::PlantDlls(folder, setupName, robot::WindowsPathOf(PLANTED_DLL), planted));
  ASSERT_TRUE(robot::PlantDlls(folder, setupName, robot::WindowsPathOf(PLANTED_VERSION_DLL),
                               {"version.dll"}));
  RemovePath(DefaultDestination("VT Version Rule"));

  robot::Program setup = StartSetup(folder + "\\" + setupName);
  ASSERT_TRUE(setup.Started()) << setup.Error();
  HWND finish = WaitForFinishDialog(setup, "VT Version Rule Setup");
  EXPECT_NE(finish, nullptr) << "no finish dialog";
  if (finish) robot::Click(robot::ChildById(finish, IDC_FINISH));
  EXPECT_EQ(robot::WaitForExit(setup), 0u);
  robot::ForgetPlantedDlls(setupName);
  EXPECT_EQ(robot::LoadedPlantedDlls(folder), std::vector<std::string>{"version.dll"});
}

}  // namespace
