// The uninstaller's texts (uninstaller.rc), formatted printf-style: for its
// message boxes and for the lines of what it left.
#ifndef VANTOREL_UNINSTALLER_UNINSTALLER_TEXT_H
#define VANTOREL_UNINSTALLER_UNINSTALLER_TEXT_H

#include <stdarg.h>

#include "base/shared_string.h"
#include "uninstaller/uninstaller_text_ids.h"

// Text `id` of the string table, formatted with the arguments. The text's
// resource block is freed before the result is returned.
SharedString UninstallerText(unsigned id, ...);
SharedString UninstallerTextV(unsigned id, va_list arguments);

#endif
