// The real message box behind ShowMessageBox when no handler is installed.
#ifndef VANTOREL_BASE_SYSTEM_MESSAGE_BOX_H
#define VANTOREL_BASE_SYSTEM_MESSAGE_BOX_H

#include "base/messages.h"

int SystemMessageBox(const MessageBoxRequest& request);

#endif
