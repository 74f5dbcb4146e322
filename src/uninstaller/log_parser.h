// Reading the text of an "Uninst.log" strictly, as the setup program writes
// it (engine/uninstall_log.h has the layout): every line ended by "\n"
// alone, nothing missing and nothing after the last list. A log that is
// anything else was damaged or written by something else, and the
// uninstaller removes nothing on its word.
//
// Works on bytes in memory only, so it builds natively and takes any input
// a fuzzer gives it.
#ifndef VANTOREL_UNINSTALLER_LOG_PARSER_H
#define VANTOREL_UNINSTALLER_LOG_PARSER_H

#include <stddef.h>

#include "base/shared_string.h"

struct UninstallLog {
  SharedString appName;  // 1 to 30 bytes
  bool checkProgramNotRunning = false;
  SharedString windowClass;  // with checkProgramNotRunning only; may be empty
  // Full paths, each followed by "\n" (base/path_list.h).
  int shortcutCount = 0;
  SharedString shortcuts;  // each ending in ".lnk"
  int sharedFileCount = 0;
  SharedString sharedFiles;
};

// 0 when the `size` bytes at `text` are a whole log, which then fills `log`;
// otherwise the number (from 1) of the first line that is wrong, or of the
// line that is missing, and `log` is left as it was.
//
// Every line holds no control character (CR, NUL, ...). Texts fit the
// package header's 30 bytes, and the name holds no "\"; counts are decimal
// without sign or leading zeros, below a billion; paths are full paths below
// MAX_PATH bytes, a shared file's without "..", stream or device names
// (IsPlainFullPath).
int ParseUninstallLog(const char* text, size_t size, UninstallLog& log);

// Setup writes a shortcut only as "<folder>\<application name>.lnk" in one
// of the `folderCount` folders (the Programs menu, the desktop and the
// Startup folder), each at most once. 0 when every shortcut line of `log` is
// such a link; otherwise the number of the first line that is not, or that
// repeats an earlier one.
int FindWrongShortcutLine(const UninstallLog& log, const SharedString* folders, int folderCount);

// Setup lists each shared file it counted once. 0 when no shared-file line
// of `log` repeats an earlier one (case ignored); otherwise the number of
// the first that does. Where the Uninstall entry keeps no digests, such a
// line would otherwise give back a count that nobody raised.
int FindRepeatedSharedLine(const UninstallLog& log);

#endif
