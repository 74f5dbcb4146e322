#include "engine/shared_dll_count.h"

#include <windows.h>

#include "base/install_journal.h"
#include "base/messages.h"
#include "base/path_list.h"
#include "base/path_rules.h"
#include "base/registry_value.h"
#include "base/uninstall_names.h"
#include "state/install_settings.h"

namespace {

// The key is never created here: a system without it keeps no counts.
bool OpenSharedDllsKey(HKEY* key) {
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, uninstall::kSharedDllsKey, 0, KEY_READ | KEY_WRITE,
                       key) == ERROR_SUCCESS;
}

// 0 when the file has no count.
DWORD ReadCount(HKEY key, const char* path) {
  DWORD count = 0;
  return ReadRegistryCount(key, path, count) ? count : 0;
}

// Whether the install record has the file as one this application made
// (an earlier run that stopped before its count, or an install before)
// and no count raised for it: a count it finds is nobody's.
bool MadeUncounted(const char* path) {
  SharedString recorded;
  int raises = 0;
  for (int position = 0; NextSharedFile(Settings.Record.sharedFiles, position, recorded, raises);) {
    if (IsSamePath(recorded, path)) return false;
  }
  return ListHoldsPath(Settings.Record.outsideFiles, path);
}

}  // namespace

void ListSharedFile(const char* path) {
  HKEY key;
  if (!OpenSharedDllsKey(&key)) {
    ShowError(nullptr, Settings.SetupCaption, IDS_OPEN_REGISTRY_KEY);
    return;
  }
  RegCloseKey(key);
  AppendPath(Settings.SharedDllList, path);
  ++Settings.SharedDllCount;
}

void RaiseSharedCount(const char* path, bool existed) {
  HKEY key;
  if (!OpenSharedDllsKey(&key)) return;  // reported when it was listed
  DWORD count = ReadCount(key, path);
  if (!existed || MadeUncounted(path)) {
    count = 1;
  } else if (count == 0) {
    count = 2;
  } else {
    ++count;
  }
  const bool saved = RegSetValueExA(key, path, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count),
                                    sizeof count) == ERROR_SUCCESS;
  RegCloseKey(key);
  if (!saved) {
    ShowError(nullptr, Settings.SetupCaption, IDS_SAVE_REGISTRY_KEY);
    return;
  }
  // Recorded once raised: the uninstaller gives back no count that was not.
  AddSharedRaises(Settings.Record, path, 1);
  JournalLine("shared", SharedString("1 ") + path);
}
