// The application's entry in the system's list of installed programs
// (base/uninstall_key.h), as the uninstaller trusts it: the one word about
// the log and the record that their users cannot change.
#ifndef VANTOREL_UNINSTALLER_UNINSTALL_ENTRY_H
#define VANTOREL_UNINSTALLER_UNINSTALL_ENTRY_H

#include "base/shared_string.h"
#include "base/uninstall_key.h"

class LeftItems;

struct UninstallEntry {
  // SHA-256 digests as setup stored them; both empty for a log that another
  // setup program wrote.
  SharedString logDigest;
  SharedString recordDigest;
};

// The entry of `appName`, when there is one and its "UninstallString" names
// `logPath` (as the uninstaller's own command line does).
bool ReadUninstallEntry(const char* appName, const char* logPath, UninstallEntry& entry);

// Removes the entry (ReadUninstallEntry found it) with every value in it;
// one that stays is a line in `left`.
void RemoveUninstallEntry(const char* appName, LeftItems& left);

#endif
