#include "uninstaller/shared_files.h"

#include <windows.h>

#include "base/path_list.h"
#include "base/uninstall_names.h"
#include "uninstaller/file_removal.h"
#include "uninstaller/left_items.h"
#include "uninstaller/log_parser.h"
#include "uninstaller/uninstaller_boxes.h"

namespace {

// The count of `path`; false when there is none (no value, or not a
// number).
bool ReadCount(HKEY counts, const char* path, DWORD& count) {
  DWORD type = 0;
  DWORD size = sizeof count;
  return RegQueryValueExA(counts, path, nullptr, &type, reinterpret_cast<BYTE*>(&count),
                          &size) == ERROR_SUCCESS &&
         type == REG_DWORD && size == sizeof count;
}

// Lowers the count of `path` by one; true when no program counts the file
// any more, and the count is gone.
bool LowerCount(HKEY counts, const char* path, LeftItems& left, bool& unused) {
  DWORD count = 0;
  unused = false;
  if (counts == nullptr || !ReadCount(counts, path, count)) {
    left.Add(IDS_UN_LEFT_NO_COUNT, path);
    return false;
  }
  bool saved;
  if (count > 1) {
    --count;
    saved = RegSetValueExA(counts, path, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count),
                           sizeof count) == ERROR_SUCCESS;
  } else {
    unused = true;
    saved = RegDeleteValueA(counts, path) == ERROR_SUCCESS;
  }
  if (!saved) left.Add(IDS_UN_LEFT_COUNT_NOT_SAVED, path);
  return saved;
}

}  // namespace

void ReleaseSharedFiles(const UninstallLog& log, const char* caption, KeptFiles& kept,
                        LeftItems& left) {
  if (log.sharedFileCount == 0) return;
  HKEY counts = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, uninstall::kSharedDllsKey, 0,
                    KEY_QUERY_VALUE | KEY_SET_VALUE, &counts) != ERROR_SUCCESS) {
    counts = nullptr;  // every file then has no count
  }
  SharedString path;
  for (int position = 0; NextPath(log.sharedFiles, position, path);) {
    bool unused = false;
    if (!LowerCount(counts, path, left, unused) || !unused || IsUninstallerItself(path) ||
        !AskToRemoveSharedFile(caption, path)) {
      kept.Add(path);
    } else {
      RemoveFile(path, left);
    }
  }
  if (counts != nullptr) RegCloseKey(counts);
}
