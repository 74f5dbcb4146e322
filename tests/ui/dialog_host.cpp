// Test host: shows one of the setup program's dialogs with the real
// resources and code, so that the robot can drive it from the test process.
//   ui_dialog_host finish CAPTION
//   ui_dialog_host restart CAPTION
//   ui_dialog_host run CAPTION DESTINATION PROGRAM
//   ui_dialog_host progress CAPTION FILES [DONE]
//   ui_dialog_host closing CAPTION restart|no-restart run|no-run DESTINATION PROGRAM
//                                                 the closing step of an install
//                                                 that needs a restart or not and
//                                                 whose package asks to run its
//                                                 program or not
//   ui_dialog_host controls CAPTION preload|plain  makes the progress dialog's
//                                                 controls and ends; "preload"
//                                                 loads the late-loaded system
//                                                 DLLs first
//   ui_dialog_host            (no arguments: leaves a trace, see below)
// What a test cannot see on screen comes back as the exit code (HostResult).
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "base/message_ids.h"
#include "base/system_library.h"
#include "dialog_host_results.h"
#include "setup_program/run_sequence.h"
#include "state/install_settings.h"
#include "ui/closing_dialogs.h"
#include "ui/progress_dialog.h"
#include "ui/restart_computer.h"
#include "ui/run_installed_program.h"

namespace {

UINT restartFlags;
DWORD restartReason;
bool restartRequested;

BOOL WINAPI RecordRestart(UINT flags, DWORD reason) {
  restartRequested = true;
  restartFlags = flags;
  restartReason = reason;
  return TRUE;
}

bool ShutdownPrivilegeEnabled() {
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  LUID shutdown;
  PRIVILEGE_SET query = {};
  BOOL held = FALSE;
  if (LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &shutdown)) {
    query.PrivilegeCount = 1;
    query.Control = PRIVILEGE_SET_ALL_NECESSARY;
    query.Privilege[0].Luid = shutdown;
    PrivilegeCheck(token, &query, &held);
  }
  CloseHandle(token);
  return held;
}

// What was asked of the restart recorder.
int RestartResult() {
  if (!restartRequested) return kHostNoRestart;
  if (restartFlags != EWX_REBOOT || restartReason != 0) return kHostWrongRestart;
  return ShutdownPrivilegeEnabled() ? kHostRestarted : kHostRestartWithoutPrivilege;
}

int Restart() {
  SetExitWindowsFunction(RecordRestart);
  ShowRestartDialog();
  return RestartResult();
}

int ClosingStep(bool restartNeeded, bool runProgram) {
  SetExitWindowsFunction(RecordRestart);
  Settings.RestartNeeded = restartNeeded;
  Settings.Header.RunProgramAtEnd = runProgram;
  ShowClosingStep();
  return restartNeeded ? RestartResult() : kHostDone;
}

// Steps the bar and pumps once for each of `done` files of `files`, as the
// install does, then keeps the dialog alive until Cancel is seen.
int Progress(unsigned files, unsigned done) {
  if (!InitCommonControlsFromSystem()) return kHostFailed;
  ProgressDialog dialog;
  if (!dialog.Create()) return kHostFailed;
  if (files) {
    dialog.SetPhase(IDS_CREATING_FILES);
    dialog.ShowBar(files);
  }
  for (unsigned i = 0; i < done; ++i) {
    dialog.StepBar();
    dialog.Pump();
  }
  // A deadline by the clock: Pump returns at once when called again soon,
  // so the wait below may return at once too while messages are queued.
  DWORD started = GetTickCount();
  while (GetTickCount() - started < 60000) {
    dialog.Pump();
    if (Settings.CancelRequested) {
      dialog.Close();
      return kHostCancelled;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return kHostFailed;
}

// The first controls of comctl32, with or without the late-loaded system
// DLLs loaded first. The search is not narrowed, as on a Windows without
// SetDefaultDllDirectories.
int Controls(bool preload) {
  if (preload) LoadLateLoadedSystemLibraries();
  if (!InitCommonControlsFromSystem()) return kHostFailed;
  ProgressDialog dialog;
  if (!dialog.Create()) return kHostFailed;
  dialog.Close();
  return kHostDone;
}

// Started by "run": records where it was started, next to itself.
int LeaveTrace() {
  char directory[MAX_PATH], self[MAX_PATH];
  if (!GetCurrentDirectoryA(MAX_PATH, directory)) return kHostFailed;
  DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (!length || length >= MAX_PATH) return kHostFailed;
  strcpy(strrchr(self, '\\') + 1, kTraceFileName);
  FILE* trace = fopen(self, "w");
  if (!trace) return kHostFailed;
  fputs(directory, trace);
  fclose(trace);
  return kHostDone;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 1) return LeaveTrace();
  if (argc < 3) return kHostFailed;
  Settings.InstanceHandle = GetModuleHandleA(nullptr);
  Settings.SetupCaption = argv[2];
  const char* mode = argv[1];
  if (strcmp(mode, "finish") == 0) {
    ShowFinishDialog();
    return kHostDone;
  }
  if (strcmp(mode, "restart") == 0) return Restart();
  if (strcmp(mode, "run") == 0 && argc == 5) {
    Settings.DestinationDir = argv[3];
    strncpy(Settings.Header.ProgramFileName, argv[4], sizeof(Settings.Header.ProgramFileName) - 1);
    return RunInstalledProgram() ? kHostDone : kHostNotStarted;
  }
  if (strcmp(mode, "closing") == 0 && argc == 7) {
    Settings.DestinationDir = argv[5];
    strncpy(Settings.Header.ProgramFileName, argv[6], sizeof(Settings.Header.ProgramFileName) - 1);
    return ClosingStep(strcmp(argv[3], "restart") == 0, strcmp(argv[4], "run") == 0);
  }
  if (strcmp(mode, "controls") == 0 && argc == 4) return Controls(strcmp(argv[3], "preload") == 0);
  if (strcmp(mode, "progress") == 0 && (argc == 4 || argc == 5)) {
    unsigned files = strtoul(argv[3], nullptr, 10);
    return Progress(files, argc == 5 ? strtoul(argv[4], nullptr, 10) : files);
  }
  return kHostFailed;
}
