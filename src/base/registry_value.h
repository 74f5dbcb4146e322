// Reading registry values the way setup, the uninstaller and the banner
// link need them. The registry does not promise a NUL at the end of a text,
// so every text is read through a buffer one byte longer than the size
// given to Windows and terminated here.
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
// bytes (`text` always ends in a NUL). False when it is missing, not text
// or longer.
bool ReadRegistryText(HKEY key, const char* name, SharedString& text, int maxLength);

// Texts read whatever their type go through a buffer of this many bytes; a
// value that needs more fails with ERROR_MORE_DATA.
const DWORD kRegistryTextSize = MAX_PATH;

// The value `valueName` of the open `key` into `out`, whatever its type;
// `out` is unchanged on failure. A null `valueName` reads the key's default
// value as RegQueryValueA does: a key without one reads as "". Returns the
// Win32 error of the query.
LONG QueryRegistryText(HKEY key, const char* valueName, SharedString* out);

// The same for `root`\`subKey`, opened for reading and closed again; the
// error is the open's or the query's.
LONG QueryRegistryText(HKEY root, const char* subKey, const char* valueName, SharedString* out);

// The digest by which the install record knows a value setup wrote: of
// its type, 4 bytes little-endian, and its `size` bytes of data.
void RegistryValueDigest(DWORD type, const void* data, DWORD size, SharedString& digest);

#endif
