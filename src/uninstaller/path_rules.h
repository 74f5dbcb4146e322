// Path texts as the uninstaller checks and compares them, in the system's
// 8-bit code page (a double-byte character's trail byte may equal "\").
// No file-system access: the rules build and are tested natively too.
#ifndef VANTOREL_UNINSTALLER_PATH_RULES_H
#define VANTOREL_UNINSTALLER_PATH_RULES_H

#include "base/shared_string.h"

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

// Whether the two name the same path (case ignored).
bool IsSamePath(const char* a, const char* b);

#endif
