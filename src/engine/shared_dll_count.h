// The system-wide usage counts of shared files (one 4-byte value per file,
// named by its full path) under the key
//   HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\SharedDLLs
// which uninstallers lower again: a shared file is removed only when nobody
// counts it any more.
#ifndef VANTOREL_ENGINE_SHARED_DLL_COUNT_H
#define VANTOREL_ENGINE_SHARED_DLL_COUNT_H

// Lists the file at `path` in the settings' SharedDllList for the uninstall
// log. Without the SharedDLLs key (IDS_OPEN_REGISTRY_KEY) nothing is
// listed, and nothing will be counted.
void ListSharedFile(const char* path);

// Raises the count of the listed file at `path`: 1 when the file is new
// (`existed` false: a count left by an earlier install is stale; so is one
// found on a file the install record has this application make without
// counting it), 2 when it was there without a count (someone installed it
// without counting), else one more. Once stored, the raise is in the
// install record and the journal of the install under way. A count that
// cannot be stored is reported (IDS_SAVE_REGISTRY_KEY) and recorded as not
// raised; the file stays listed in the log all the same.
void RaiseSharedCount(const char* path, bool existed);

#endif
