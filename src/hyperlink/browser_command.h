// The text work of opening a web page: the command line built from the
// browser command registered for HTML documents. No Windows calls, so it is
// also tested natively.
#ifndef VANTOREL_HYPERLINK_BROWSER_COMMAND_H
#define VANTOREL_HYPERLINK_BROWSER_COMMAND_H

#include "base/shared_string.h"

// CreateProcessA gets the command line in a buffer of this many bytes, the
// terminating NUL included.
constexpr int kBrowserCommandSize = 780;

// Removes every occurrence of `word` from `text`, compared as MatchesNoCase
// compares (base/compare_no_case.h). After a removal the search goes on at
// the same position. True when anything was removed.
bool RemoveAllNoCase(SharedString& text, const char* word);

// The command line that opens `address` with `registeredCommand` (the
// "shell\open\command" of HTML documents): cut where its quoted "%1", or
// else its bare %1, begins; when Internet Explorer is installed and the
// command names "iexplore", "-new" appended and every "-nohome" removed
// (so that a new window opens on the address); then a blank and the
// address. False, and `commandLine` untouched, when the result would not
// fit kBrowserCommandSize.
bool BuildBrowserCommand(const char* registeredCommand, const char* address, bool ieInstalled,
                         SharedString* commandLine);

#endif
