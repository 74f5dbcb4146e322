// The shell's folder browser, opening on a given folder.
#ifndef VANTOREL_UI_FOLDER_BROWSER_H
#define VANTOREL_UI_FOLDER_BROWSER_H

#include <windows.h>

#include "base/shared_string.h"

class FolderBrowser {
 public:
  FolderBrowser(const char* title, const char* initialFolder, HWND owner);
  FolderBrowser(const FolderBrowser&) = delete;
  FolderBrowser& operator=(const FolderBrowser&) = delete;

  // Modal, owned by the owner window; only file-system folders can be
  // chosen. True when the user chose one; false when they cancelled or its
  // path could not be read.
  bool Browse();
  const SharedString& SelectedPath() const { return selectedPath_; }

 private:
  static int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data);

  SharedString initialFolder_;
  SharedString title_;
  SharedString selectedPath_;
  HWND owner_;
};

#endif
