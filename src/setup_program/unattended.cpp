#include "setup_program/unattended.h"

#include <windows.h>

#include "base/messages.h"
#include "base/run_log.h"

void ShowUsage(const char* wrong) {
  if (wrong != nullptr) LogLine("Not understood: %s", wrong);
  const unsigned style = wrong != nullptr ? unsigned{kBoxError} : unsigned{MB_ICONINFORMATION};
  ResourceText usage(IDS_USAGE);
  ShowMessageBox(MessageBoxRequest{nullptr, IDS_USAGE, usage.Text(), kProductCaption, style});
}
