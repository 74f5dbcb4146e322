#include "ui/folder_browser.h"

#include <shlobj.h>

FolderBrowser::FolderBrowser(const char* title, const char* initialFolder, HWND owner)
    : initialFolder_(initialFolder), title_(title), owner_(owner) {}

bool FolderBrowser::Browse() {
  IMalloc* allocator;
  if (FAILED(SHGetMalloc(&allocator))) return false;
  BROWSEINFOA browse = {};
  browse.hwndOwner = owner_;
  browse.pszDisplayName = selectedPath_.GetBuffer(MAX_PATH);
  browse.lpszTitle = title_;
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
  browse.lpfn = BrowseCallback;
  browse.lParam = reinterpret_cast<LPARAM>(this);
  LPITEMIDLIST item = SHBrowseForFolderA(&browse);
  selectedPath_.ReleaseBuffer();
  bool chosen = false;
  if (item != nullptr) {
    chosen = SHGetPathFromIDListA(item, selectedPath_.GetBuffer(MAX_PATH)) != FALSE;
    selectedPath_.ReleaseBuffer();
    allocator->Free(item);
  }
  allocator->Release();
  return chosen;
}

// Opens the browser on the initial folder.
int CALLBACK FolderBrowser::BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM data) {
  const FolderBrowser* self = reinterpret_cast<const FolderBrowser*>(data);
  if (message == BFFM_INITIALIZED && !self->initialFolder_.IsEmpty()) {
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE,
                 reinterpret_cast<LPARAM>(self->initialFolder_.Text()));
  }
  return 0;
}
