// Opening a web page in a new browser window. Web addresses go straight to
// the program registered for ".htm" files, so that an open browser window
// is not taken over; "mailto:" addresses, and systems without that
// registration, go through the shell.
#ifndef VANTOREL_HYPERLINK_BROWSER_LAUNCH_H
#define VANTOREL_HYPERLINK_BROWSER_LAUNCH_H

#include <windows.h>

#include "base/shared_string.h"

// True when a browser process was started or the shell reported success.
// `showCommand` applies to the shell path only.
bool LaunchBrowser(const char* address, int showCommand);

// The value `valueName` of `root`\`subKey` into `out` (unchanged on
// failure). Values longer than 259 bytes fail. Returns the Win32 error of
// the open or the query.
LONG ReadRegistryValue(HKEY root, const char* subKey, const char* valueName, SharedString* out);

// The same for the key's default value.
LONG ReadRegistryDefault(HKEY root, const char* subKey, SharedString* out);

#endif
