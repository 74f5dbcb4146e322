// The fixed version of an existing file, read from its version resource.
#ifndef VANTOREL_ENGINE_FILE_VERSION_H
#define VANTOREL_ENGINE_FILE_VERSION_H

#include <stdint.h>

// Fills major, minor, build, revision. False when the file has no version
// resource, it cannot be read, or version.dll is not available.
bool GetFileVersion(const char* path, uint16_t version[4]);

#endif
