// The system's modal message box.
#include "base/system_message_box.h"

#include <windows.h>

int SystemMessageBox(const MessageBoxRequest& request) {
  return MessageBoxA(static_cast<HWND>(request.owner), request.text, request.caption,
                     request.style);
}
