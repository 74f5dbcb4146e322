// Reading registry values the way setup and the uninstaller both need them.
#ifndef VANTOREL_BASE_REGISTRY_VALUE_H
#define VANTOREL_BASE_REGISTRY_VALUE_H

#include <windows.h>

#include "base/shared_string.h"

// A usage count under "SharedDLLs": any value of exactly 4 bytes, whatever
// its type. Setup stores REG_DWORD; other installers have stored
// REG_BINARY, and their count is a count all the same. False when there is
// no such value (missing, or another size).
bool ReadRegistryCount(HKEY key, const char* name, DWORD& count);

// A REG_SZ or REG_EXPAND_SZ value of an open key, at most `maxLength`
// bytes (registry texts need not end in a NUL: `text` always does). False
// when it is missing, not text or longer.
bool ReadRegistryText(HKEY key, const char* name, SharedString& text, int maxLength);

#endif
