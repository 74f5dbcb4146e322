// Path texts as setup records them and the uninstaller checks and compares
// them, in the system's 8-bit code page (a double-byte character's trail
// byte may equal "\"). No file-system access: the rules build and are
// tested natively too.
#ifndef VANTOREL_BASE_PATH_RULES_H
#define VANTOREL_BASE_PATH_RULES_H

#include <string.h>

#include "base/shared_string.h"

// MAX_PATH without the NUL: the longest full path Windows opens.
const int kMaxPathLength = 259;

// "X:\..." with a drive letter, or a network path "\\server\share...".
bool IsFullPath(const char* path);

// Index of the last "\" of `path`, or -1.
int LastSeparator(const char* path);

// Whether `path` holds a "\".
bool HasSeparator(const char* path);

// A drive or share itself: "C:", "C:\", "\\server\share", "\\server\share\".
bool IsRootFolder(const char* folder);

// Whether `folder` is `other` itself or a folder that holds it, at any
// depth; case is ignored, and so is one trailing "\" on either.
bool IsSameOrAbove(const char* folder, const char* other);

// Whether the two name the same path (case ignored, as MatchesNoCase
// compares).
bool IsSamePath(const char* a, const char* b);
// The same for the `length` bytes at `text` (a part of a longer text) and
// `path`, which is `length` bytes long.
bool IsSamePathOfLength(const char* text, const char* path, int length);

// A name Windows opens as a device whatever its folder and extension: CON,
// PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, in any case ("nul.txt",
// "Com1 .log"). `name` is one part of a path, `length` bytes long.
bool IsDeviceName(const char* name, int length);

// A byte Windows does not allow in a file or folder name, besides "\\": a
// control character or one of / : * ? " < > | (":" would name a stream).
// Never a double-byte character's trail byte: walk the name by characters.
inline bool IsForbiddenInName(unsigned char c) {
  return c < 0x20 || strchr("/:*?\"<>|", c) != nullptr;
}

// A path below a folder that names exactly one place there: "\"-separated
// parts, none empty, "." or "..", none a device name or ending in a dot or
// blank (Windows drops those), no "/ : * ? \" < > |" (":" would name a
// stream) and no control character. Shorter than MAX_PATH.
bool IsPlainRelativePath(const char* path);

// A full path ("X:\..." or "\\server\share\...") whose parts below the
// drive or share follow the rules of IsPlainRelativePath.
bool IsPlainFullPath(const char* path);

// The folder a typed or given destination names, as setup installs into it
// and the uninstaller later finds it: "/" taken as "\", one trailing "\"
// dropped, and the blanks and dots that end a part trimmed, as Windows
// trims them when it opens the path. False when what remains is not a
// plain full path below a drive or share (a relative path, "C:Games", an
// empty or ".." part, a root, a device name); `destination` is then
// unchanged.
bool DestinationFromText(const char* text, SharedString& destination);

#endif
