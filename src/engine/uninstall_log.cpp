#include "engine/uninstall_log.h"

// STAND-IN until the uninstaller can read a log: nothing is written, so
// setup ends without an uninstall log or Uninstall entry.
void WriteUninstallLog() {}
