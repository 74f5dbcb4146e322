// The version rule of the file loop: an existing file is replaced only by a
// strictly newer version.
#ifndef VANTOREL_ENGINE_VERSION_RULE_H
#define VANTOREL_ENGINE_VERSION_RULE_H

#include <stdint.h>

// Versions are four unsigned 16-bit parts: major, minor, build, revision.
// True when `candidate` is strictly greater than `installed`, compared part
// by part in that order; equal versions keep the installed file.
bool IsNewerVersion(const uint16_t candidate[4], const uint16_t installed[4]);

#endif
