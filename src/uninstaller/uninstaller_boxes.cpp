#include "uninstaller/uninstaller_boxes.h"

#include <windows.h>

#include "base/messages.h"
#include "uninstaller/left_items.h"
#include "uninstaller/uninstaller_text.h"

namespace {

int ShowText(const char* caption, unsigned style, unsigned id, va_list arguments) {
  const SharedString text = UninstallerTextV(id, arguments);
  return ShowMessageBox(MessageBoxRequest{nullptr, id, text, caption, style});
}

int Show(const char* caption, unsigned style, unsigned id, ...) {
  va_list arguments;
  va_start(arguments, id);
  const int answer = ShowText(caption, style, id, arguments);
  va_end(arguments);
  return answer;
}

}  // namespace

void ShowFailure(const char* caption, unsigned id, ...) {
  va_list arguments;
  va_start(arguments, id);
  ShowText(caption, kBoxError, id, arguments);
  va_end(arguments);
}

bool ConfirmRemoval(const char* caption, const char* appName) {
  return Show(caption, kBoxQuestion, IDS_UN_CONFIRM, appName) == IDYES;
}

bool WaitForProgramToClose(const char* caption, const char* appName, const char* windowClass) {
  if (windowClass[0] == '\0') return true;  // no class: nothing to look for
  while (FindWindowA(windowClass, nullptr) != nullptr) {
    if (Show(caption, MB_RETRYCANCEL | MB_ICONWARNING, IDS_UN_PROGRAM_RUNNING, appName) !=
        IDRETRY) {
      return false;
    }
  }
  return true;
}

bool AskToRemoveSharedFile(const char* caption, const char* path) {
  return Show(caption, kBoxQuestion, IDS_UN_REMOVE_SHARED_FILE, path) == IDYES;
}

void ShowOutcome(const char* caption, const char* appName, const LeftItems& left) {
  if (left.IsEmpty()) {
    Show(caption, MB_OK | MB_ICONINFORMATION, IDS_UN_REMOVED, appName);
  } else {
    Show(caption, MB_OK | MB_ICONWARNING, IDS_UN_REMOVED_EXCEPT, appName, left.Summary().Text());
  }
}
