// The setup program's resources as this test program carries them: each
// dialog shows icon 110 as its big and its 16 x 16 small icon, and the
// manifest is one the system accepts. Looked at from inside the process:
// Wine answers WM_GETICON sent from another process with null even when the
// window has its icons.
#include <windows.h>

#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "base/system_library.h"
#include "robot/robot.h"
#include "state/install_settings.h"
#include "ui/closing_dialogs.h"
#include "ui/progress_dialog.h"
#include "ui/resource_ids.h"
#include "ui/restart_computer.h"

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

BOOL WINAPI IgnoreRestart(UINT, DWORD) { return TRUE; }

DialogIcons ProgressDialogIcons() {
  ProgressDialog dialog;
  if (!InitCommonControlsFromSystem() || !dialog.Create()) return {};
  DialogIcons icons = IconsOf(robot::WaitForTopWindow(GetCurrentProcessId(), "#32770", kCaption));
  dialog.Close();
  return icons;
}

TEST_F(DialogIconTest, EveryDialogShowsTheSetupIcon) {
  SetExitWindowsFunction(IgnoreRestart);
  const struct {
    const char* name;
    DialogIcons (*icons)();
  } dialogs[] = {
      {"finish", [] { return IconsOfModalDialog(ShowFinishDialog); }},
      {"restart", [] { return IconsOfModalDialog(ShowRestartDialog); }},
      {"progress", ProgressDialogIcons},
  };
  for (const auto& dialog : dialogs) {
    SCOPED_TRACE(dialog.name);
    ExpectSetupIcons(dialog.icons());
  }
}

// ---- manifest ----

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

}  // namespace
