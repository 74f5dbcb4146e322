// The short (8.3) form of a path, for the places that cannot take blanks or
// long names: the "wininit.ini" of the Windows 95 family and RegSvr32's
// command line.
#ifndef VANTOREL_ENGINE_SHORT_PATH_H
#define VANTOREL_ENGINE_SHORT_PATH_H

#include "base/shared_string.h"

// The short form of `path`; the path as given when Windows cannot make one
// (no such file, no short names on its volume) or it would not fit MAX_PATH.
SharedString ShortPathOf(const char* path);

#endif
