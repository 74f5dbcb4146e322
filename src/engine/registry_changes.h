// What the install adds to the registry, noted in the install record and
// the journal of the install under way (base/install_journal.h) before it
// is written, so that the uninstaller takes away what setup made there and
// nothing it found: the keys it creates, and the values it writes where
// there were none, each with the digest of what it wrote (the uninstaller
// leaves a value that someone changed since, and a key that still holds
// anything).
#ifndef VANTOREL_ENGINE_REGISTRY_CHANGES_H
#define VANTOREL_ENGINE_REGISTRY_CHANGES_H

#include <windows.h>

// Notes every key on the way to `path` below `root` that does not exist,
// as "<rootName>\<...>".
void NoteNewKeys(const char* rootName, HKEY root, const char* path);

// Notes the value `name` (null or empty: the default value) of the open
// `key`, named `keyName` ("<root>\<path>"), when it does not exist, with
// the type and data about to be stored in it.
void NoteNewValue(HKEY key, const char* keyName, const char* name, DWORD type, const void* data,
                  DWORD size);

#endif
