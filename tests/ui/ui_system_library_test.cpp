// Safe DLL loading and the small dialog helpers, in the test's own process.
// Each TEST runs in a process of its own, so HardenDllSearch's effect on
// the process does not leak into the next test.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "base/system_library.h"
#include "robot/planted_dlls.h"
#include "robot/robot.h"

namespace {

// Built next to this test program (its "downloads folder").
const char kPlantedDll[] = "ui_planted.dll";

std::string SystemDirectory() {
  char path[MAX_PATH];
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  return std::string(path, length);
}

std::string ModuleFolder(HMODULE module) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  std::string file(path, length);
  return file.substr(0, file.rfind('\\'));
}

bool SameText(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

TEST(SystemLibrary, LoadsFromTheSystemDirectory) {
  for (const char* name : {"comctl32.dll", "version.dll"}) {
    HMODULE module = LoadSystemLibrary(name);
    ASSERT_TRUE(module) << name;
    EXPECT_TRUE(SameText(ModuleFolder(module), SystemDirectory())) << name;
  }
}

TEST(SystemLibrary, RefusesWhatIsNotInTheSystemDirectory) {
  // The planted DLL lies beside this program, where a bare-name load looks.
  EXPECT_FALSE(LoadSystemLibrary(kPlantedDll));
  EXPECT_FALSE(LoadSystemLibrary(std::string(MAX_PATH, 'a').c_str()));
}

TEST(SystemLibrary, HardenedSearchIgnoresTheProgramFolderAndCurrentDirectory) {
  // Control: before hardening, a bare name finds the planted DLL beside us.
  HMODULE planted = LoadLibraryA(kPlantedDll);
  ASSERT_TRUE(planted) << "the planted DLL must be loadable before hardening";
  FreeLibrary(planted);
  ASSERT_FALSE(GetModuleHandleA(kPlantedDll));

  std::string programFolder = ModuleFolder(nullptr);
  SetCurrentDirectoryA(programFolder.c_str());
  HardenDllSearch();
  EXPECT_FALSE(LoadLibraryA(kPlantedDll));
  // What the program needs still loads.
  EXPECT_TRUE(GetCommonControlsLibrary());
  EXPECT_TRUE(GetVersionLibrary());
}

// Where the search cannot be narrowed (Windows without
// SetDefaultDllDirectories), the program's folder comes first, also for the
// DLLs that comctl32 loads by name when it makes its first control. Those
// are loaded by full path beforehand. The dialog host makes the progress
// dialog's controls without narrowing the search, from a folder with
// uxtheme.dll planted in it; without the early load it takes the planted
// one (the control case shows that the plant works).
TEST(SystemLibrary, LateLoadedSystemLibrariesAreLoadedByFullPathFirst) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "vantorel late loads";
  const std::string probe = folder + "\\LateLoadProbe.exe";
  CreateDirectoryA(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(robot::WindowsPathOf(UI_DIALOG_HOST).c_str(), probe.c_str(), FALSE));
  for (bool preload : {false, true}) {
    SCOPED_TRACE(preload ? "loaded first" : "not loaded first");
    ASSERT_TRUE(robot::PlantDlls(folder, "LateLoadProbe.exe", robot::WindowsPathOf(PLANTED_DLL),
                                 {"uxtheme.dll"}));
    robot::Program host = robot::Start(probe, {"controls", "Probe", preload ? "preload" : "plain"});
    ASSERT_TRUE(host.Started()) << host.Error();
    robot::WaitForExit(host);
    EXPECT_EQ(robot::LoadedPlantedDlls(folder),
              preload ? std::vector<std::string>{} : std::vector<std::string>{"uxtheme.dll"});
  }
  robot::ForgetPlantedDlls("LateLoadProbe.exe");
}

TEST(SystemLibrary, CommonControlsRegisterTheProgressBarClass) {
  const CommonControlsLibrary* library = GetCommonControlsLibrary();
  ASSERT_TRUE(library);
  EXPECT_TRUE(library->PropertySheetA);
  EXPECT_TRUE(library->CreatePropertySheetPageA);
  ASSERT_TRUE(InitCommonControlsFromSystem());
  WNDCLASSEXA info = {};
  info.cbSize = sizeof(info);
  EXPECT_TRUE(GetClassInfoExA(nullptr, "msctls_progress32", &info));
  EXPECT_EQ(GetCommonControlsLibrary(), library) << "loaded once";
}

TEST(SystemLibrary, VersionFunctionsReadAVersionResource) {
  const VersionLibrary* version = GetVersionLibrary();
  ASSERT_TRUE(version);
  // A system DLL has a version resource; this test program has none.
  std::string withVersion = SystemDirectory() + "\\comctl32.dll";
  DWORD handle = 0;
  DWORD size = version->GetFileVersionInfoSizeA(withVersion.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::string block(size, '\0');
  ASSERT_TRUE(version->GetFileVersionInfoA(withVersion.c_str(), 0, size, &block[0]));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(
      version->VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_TRUE(fixed);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);

  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  EXPECT_EQ(version->GetFileVersionInfoSizeA(self, &handle), 0u);
}

}  // namespace
