// Lists of paths kept in one SharedString, each path followed by "\n" (which
// no Windows path holds): how setup records the shortcuts and shared files
// that the uninstall log hands on, and how the uninstaller reads them back.
#ifndef VANTOREL_BASE_PATH_LIST_H
#define VANTOREL_BASE_PATH_LIST_H

#include "base/shared_string.h"

// Appends `path` and "\n". The list grows geometrically, so a list built
// one path at a time costs linear time.
void AppendPath(SharedString& list, const char* path);

// Appends `path` unless the list holds it already.
void AppendPathOnce(SharedString& list, const char* path);

// Whether the list holds `path`, case ignored (base/path_rules.h). Looks
// in place: lists of thousands of files are searched for each file of
// another.
bool ListHoldsPath(const SharedString& list, const char* path);

// Walks the list: `position` starts at 0; each call puts the next path
// (without its "\n") into `path` and moves on. False at the end.
bool NextPath(const SharedString& list, int& position, SharedString& path);

#endif
