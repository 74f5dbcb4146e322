// Removing what the install record says setup made in the registry: the
// values it wrote where there were none, while they hold what it wrote, then
// the keys it created, once nothing else is in them. A value someone
// changed since, and a key another program put something in (an extension
// that another program took over), stay; so does what setup found.
#ifndef VANTOREL_UNINSTALLER_RECORDED_KEYS_H
#define VANTOREL_UNINSTALLER_RECORDED_KEYS_H

#include "base/install_record_text.h"

// The values, then the keys, deepest first. True when a file type's went
// (a key or value of the classes root, or of a Software\Classes key): the
// shell is to be told once.
bool RemoveRecordedKeys(const InstallRecord& record);

#endif
