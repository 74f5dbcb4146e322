#include "engine/install_timing.h"

#ifdef VANTOREL_INSTALL_TIMING

#include <windows.h>
#include <stdio.h>

namespace {

const char* const kPhaseNames[] = {
    "file-loop", "unpack", "unpack-waits",  "wait-for-bytes", "folders",  "file-exists",
    "create",    "write",  "set-file-time", "close",          "progress", "complete",
};
static_assert(sizeof(kPhaseNames) / sizeof(kPhaseNames[0]) ==
                  static_cast<int>(InstallPhase::kCount),
              "a name per phase");

long long totals[static_cast<int>(InstallPhase::kCount)];
long calls[static_cast<int>(InstallPhase::kCount)];

long long Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

}  // namespace

InstallTimer::InstallTimer(InstallPhase phase) : phase_(phase), start_(Now()) {}

InstallTimer::~InstallTimer() {
  totals[static_cast<int>(phase_)] += Now() - start_;
  ++calls[static_cast<int>(phase_)];
}

void WriteInstallTiming() {
  char path[MAX_PATH];
  DWORD length = GetEnvironmentVariableA("VANTOREL_INSTALL_TIMING", path, sizeof path);
  if (length == 0 || length >= sizeof path) return;
  FILE* out = fopen(path, "ab");  // "\n" line ends, as the script reads them
  if (out == nullptr) return;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (int i = 0; i < static_cast<int>(InstallPhase::kCount); ++i) {
    fprintf(out, "%s %.4f %ld\n", kPhaseNames[i],
            static_cast<double>(totals[i]) / static_cast<double>(frequency.QuadPart), calls[i]);
  }
  fclose(out);
}

#endif
