// The system-wide usage counts of shared files (one 4-byte value per file,
// named by its full path) under the key
//   HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\SharedDLLs
// which uninstallers lower again: a shared file is removed only when nobody
// counts it any more.
#ifndef VANTOREL_ENGINE_SHARED_DLL_COUNT_H
#define VANTOREL_ENGINE_SHARED_DLL_COUNT_H

// Raises the count of the file at `path`: 1 when the file is new (`existed`
// false: a count left by an earlier install is stale), 2 when it was there
// without a count (someone installed it without counting), else one more.
// The file is then listed in the settings' SharedDllList for the uninstall
// log, also when the count could not be stored (IDS_SAVE_REGISTRY_KEY). Without the
// SharedDLLs key (IDS_OPEN_REGISTRY_KEY) nothing is counted or listed.
void CountSharedFile(const char* path, bool existed);

#endif
