// The names in a folder that the uninstaller holds, read through its
// handle: the folder cannot be opened a second time for listing, since it
// is held without sharing its deletion (base/file_handles.h).
#ifndef VANTOREL_UNINSTALLER_FOLDER_LISTING_H
#define VANTOREL_UNINSTALLER_FOLDER_LISTING_H

#include <windows.h>

#include "base/shared_string.h"

class FolderListing {
 public:
  // From the first name on; `folder` held, opened to list its names.
  explicit FolderListing(HANDLE folder) : folder_(folder) {}

  // The next name, "." and ".." left out; false at the end, or when the
  // folder cannot be read. A name the 8-bit code page cannot spell comes
  // as Windows spells it in that code page.
  bool Next(SharedString& name);

 private:
  HANDLE folder_;
  bool started_ = false;
  // The entries of one query, and where the next of them begins.
  alignas(8) unsigned char entries_[4096];
  unsigned next_ = 0;
  bool pending_ = false;
};

#endif
