// Text values of the registry. The registry does not promise a NUL at the
// end of a text, so every value is read through a buffer one byte longer
// than the size given to Windows and terminated here.
#ifndef VANTOREL_BASE_REGISTRY_VALUE_H
#define VANTOREL_BASE_REGISTRY_VALUE_H

#include <windows.h>

#include "base/shared_string.h"

// Texts are read through a buffer of this many bytes; a value that needs
// more fails with ERROR_MORE_DATA.
const DWORD kRegistryTextSize = MAX_PATH;

// The value `valueName` of the open `key` into `out`, whatever its type;
// `out` is unchanged on failure. A null `valueName` reads the key's default
// value as RegQueryValueA does: a key without one reads as "". Returns the
// Win32 error of the query.
LONG QueryRegistryText(HKEY key, const char* valueName, SharedString* out);

// The same for `root`\`subKey`, opened for reading and closed again; the
// error is the open's or the query's.
LONG ReadRegistryText(HKEY root, const char* subKey, const char* valueName, SharedString* out);

#endif
