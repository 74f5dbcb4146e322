#include "base/program_start.h"

#include "base/system_library.h"

extern "C" void __main();  // libmingw32: runs the static constructors once

// The start-up code also supplies atexit, with which the static
// constructors register their destructors. The programs end in ExitProcess
// and have nothing to tidy: those destructors would only free memory.
extern "C" int atexit(void (*)(void)) { return 0; }

void StartProgram() {
  HardenDllSearch();
  __main();
}
