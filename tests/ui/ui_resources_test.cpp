// The setup program's resources as this test program carries them: each
// dialog shows icon 110 as its big and its 16 x 16 small icon, and the
// manifest is one the system accepts. Looked at from inside the process:
// Wine answers WM_GETICON sent from another process with null even when the
// window has its icons.
#include <windows.h>

#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "app/install_settings.h"
#include "robot/robot.h"
#include "ui/closing_dialogs.h"
#include "ui/progress_dialog.h"
#include "ui/resource_ids.h"
#include "base/system_library.h"

namespace {

const char kCaption[] = "Icon Test Setup";

struct DialogIcons {
  HICON big = nullptr;
  HICON small = nullptr;
};

DialogIcons IconsOf(HWND dialog) {
  return {reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0)),
          reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0))};
}

int IconWidth(HICON icon) {
  ICONINFO info = {};
  if (!GetIconInfo(icon, &info)) return 0;
  BITMAP colour = {};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(colour), &colour);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return colour.bmWidth;
}

void ExpectSetupIcons(const DialogIcons& icons) {
  HINSTANCE self = GetModuleHandleA(nullptr);
  EXPECT_EQ(icons.big, LoadIconA(self, MAKEINTRESOURCEA(IDI_SETUP)));
  ASSERT_TRUE(icons.small);
  EXPECT_EQ(IconWidth(icons.small), 16);
}

class DialogIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Settings.InstanceHandle = GetModuleHandleA(nullptr);
    Settings.SetupCaption = kCaption;
  }
};

// Runs a modal closing dialog here while a robot thread reads its icons
// and presses "&Finish".
template <typename ShowDialog>
DialogIcons IconsOfModalDialog(ShowDialog show) {
  DialogIcons icons;
  std::thread robot([&icons] {
    HWND dialog = robot::WaitForTopWindow(GetCurrentProcessId(), "#32770", kCaption);
    if (!dialog) return;
    icons = IconsOf(dialog);
    robot::Click(robot::ChildById(dialog, IDC_RESTART_NO));  // the restart dialog's
    robot::Click(robot::ChildById(dialog, IDC_FINISH));
  });
  show();
  robot.join();
  return icons;
}

TEST_F(DialogIconTest, FinishDialog) {
  ExpectSetupIcons(IconsOfModalDialog(ShowFinishDialog));
}

BOOL WINAPI IgnoreRestart(UINT, DWORD) { return TRUE; }

TEST_F(DialogIconTest, RestartDialog) {
  SetExitWindowsFunction(IgnoreRestart);
  ExpectSetupIcons(IconsOfModalDialog(ShowRestartDialog));
}

TEST_F(DialogIconTest, ProgressDialog) {
  ASSERT_TRUE(InitCommonControlsFromSystem());
  HWND dialog = CreateProgressDialog();
  ASSERT_TRUE(dialog);
  ExpectSetupIcons(IconsOf(dialog));
  DestroyProgressDialog(dialog);
}

// ---- manifest ----

std::string ManifestText() {
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  if (!resource) return "";
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, resource)));
  return std::string(bytes, SizeofResource(nullptr, resource));
}

TEST(Manifest, TheSystemAcceptsIt) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  ACTCTXA context = {};
  context.cbSize = sizeof(context);
  context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
  context.lpSource = self;
  context.hModule = GetModuleHandleA(nullptr);
  context.lpResourceName = MAKEINTRESOURCEA(1);
  HANDLE activation = CreateActCtxA(&context);
  ASSERT_NE(activation, INVALID_HANDLE_VALUE) << "error " << GetLastError();
  ReleaseActCtx(activation);
}

TEST(Manifest, AsksForAdministratorRightsAndNamesTheSupportedWindows) {
  std::string manifest = ManifestText();
  ASSERT_FALSE(manifest.empty());
  EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
  const char* supported[] = {
      "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
  };
  for (const char* id : supported) {
    EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + id + "\"/>"), std::string::npos)
        << id;
  }
  // The dialogs are drawn with the classic controls.
  EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);
}

}  // namespace
