// The install benchmark's hands and stopwatch (scripts/bench-install): runs
// one installer, presses "&Finish" the moment its finish dialog appears
// when asked to, and prints the seconds from start to exit and the
// program's peak memory.
//   setup_bench_driver PROGRAM [--finish CAPTION] [ARGUMENTS...]
//   setup_bench_driver --hold    (runs until killed; see HoldDesktop)
// Output: "<seconds> <peak working set bytes> <exit code>". (Wine reports
// no useful CPU times for another process, so only wall-clock time.)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "robot/robot.h"
#include "ui/resource_ids.h"

namespace {

// Peak figures only grow; reading them often keeps the last value before
// the program ends.
void UpdatePeak(HANDLE process, SIZE_T& peak) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(process, &counters, sizeof counters)) {
    peak = std::max(peak, counters.PeakWorkingSetSize);
  }
}

// Looked for through calls the system answers itself (class names, dialog
// items, window texts), never a message to the program: the program would
// have to answer every poll while it installs, and the benchmark would
// slow down what it measures.
HWND FinishButton(DWORD processId, const std::string& caption) {
  HWND dialog = robot::WaitForTopWindow(
      processId,
      [&](HWND window) {
        if (robot::ClassOf(window) != "#32770" || GetDlgItem(window, IDC_FINISH) == nullptr)
          return false;
        char text[256] = {};
        GetWindowTextA(window, text, sizeof text);
        return caption == text;
      },
      0);
  HWND button = dialog ? GetDlgItem(dialog, IDC_FINISH) : nullptr;
  return button && robot::TextOf(button) == "&Finish" ? button : nullptr;
}

// On Windows the desktop is there before any installer starts. Under Wine
// its process (explorer.exe) starts with the first program that needs it
// and ends a moment after the last one: every run of a benchmark would pay
// for starting it, 0.1 to 0.3 s of waiting that has nothing to do with
// installing. A program that keeps a window keeps the desktop up.
int HoldDesktop() {
  CreateWindowExA(0, "STATIC", "setup_bench_driver --hold", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                  nullptr, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--hold") return HoldDesktop();
  if (argc < 2) {
    std::fprintf(stderr, "usage: setup_bench_driver PROGRAM [--finish CAPTION] [ARGUMENTS...]\n");
    return 2;
  }
  std::string program = argv[1];
  std::string finishCaption;
  int next = 2;
  if (argc >= 4 && std::string(argv[2]) == "--finish") {
    finishCaption = argv[3];
    next = 4;
  }
  std::vector<std::string> arguments(argv + next, argv + argc);

  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  robot::Program run = robot::Start(program, arguments);
  if (!run.Started()) {
    std::fprintf(stderr, "setup_bench_driver: %s\n", run.Error().c_str());
    return 2;
  }
  SIZE_T peak = 0;
  bool pressed = false;
  const DWORD kTimeoutMs = 600000;
  while (WaitForSingleObject(run.Handle(), 5) == WAIT_TIMEOUT) {
    UpdatePeak(run.Handle(), peak);
    if (!finishCaption.empty() && !pressed) {
      HWND finish = FinishButton(run.Id(), finishCaption);
      if (finish) pressed = robot::Click(finish);
    }
    QueryPerformanceCounter(&end);
    if ((end.QuadPart - start.QuadPart) / frequency.QuadPart * 1000 > kTimeoutMs) {
      std::fprintf(stderr, "setup_bench_driver: %s did not end\n", program.c_str());
      return 2;
    }
  }
  QueryPerformanceCounter(&end);
  auto exitCode = robot::WaitForExit(run, 0);
  std::printf("%.3f %llu %lu\n",
              static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart,
              static_cast<unsigned long long>(peak), exitCode.value_or(~0ul));
  return 0;
}
