#include "uninstaller/shared_files.h"

#include <windows.h>

#include "base/install_record_text.h"
#include "base/registry_value.h"
#include "base/uninstall_names.h"
#include "uninstaller/file_removal.h"
#include "uninstaller/left_items.h"
#include "uninstaller/uninstaller_boxes.h"

namespace {

// Lowers the count of `path` by `raises`, or removes it when no program
// counts the file any more (`unused` then true). False, with a line in
// `left`, when the file has no count or its new count cannot be saved.
bool LowerCount(HKEY counts, const char* path, int raises, LeftItems& left, bool& unused) {
  DWORD count = 0;
  unused = false;
  if (counts == nullptr || !ReadRegistryCount(counts, path, count)) {
    left.Add(IDS_UN_LEFT_NO_COUNT, path);
    return false;
  }
  bool saved;
  if (count > static_cast<DWORD>(raises)) {
    count -= static_cast<DWORD>(raises);
    saved = RegSetValueExA(counts, path, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count),
                           sizeof count) == ERROR_SUCCESS;
  } else {
    unused = true;
    saved = RegDeleteValueA(counts, path) == ERROR_SUCCESS;
  }
  if (!saved) left.Add(IDS_UN_LEFT_COUNT_NOT_SAVED, path);
  return saved;
}

// A file no program counts any more goes when the user agrees: the file
// opened before the question is the one removed after it.
bool RemoveUnusedFile(HeldFolders& held, const char* path, const char* caption, LeftItems& left) {
  FileToRemove file;
  if (IsUninstallerItself(path) || OpenFileToRemove(held, path, file, left) != Opening::kOpen) {
    return false;
  }
  if (!AskToRemoveSharedFile(caption, path)) {
    CloseFileToRemove(file);
    return false;
  }
  RemoveOpenedFile(held, file, left);
  return true;
}

}  // namespace

void ReleaseSharedFiles(HeldFolders& held, const SharedString& sharedFiles, const char* caption,
                        KeptFiles& kept, LeftItems& left) {
  if (sharedFiles.IsEmpty()) return;
  HKEY counts = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, uninstall::kSharedDllsKey, 0,
                    KEY_QUERY_VALUE | KEY_SET_VALUE, &counts) != ERROR_SUCCESS) {
    counts = nullptr;  // every file then has no count
  }
  SharedString path;
  int raises = 0;
  for (int position = 0; NextSharedFile(sharedFiles, position, path, raises);) {
    bool unused = false;
    if (!LowerCount(counts, path, raises, left, unused) || !unused ||
        !RemoveUnusedFile(held, path, caption, left)) {
      kept.Add(path);
    }
  }
  if (counts != nullptr) RegCloseKey(counts);
}
