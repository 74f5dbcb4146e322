#include "base/folder_owner.h"

#include <windows.h>
#include <string.h>

#include "base/compare_no_case.h"
#include "base/earlier_installs.h"
#include "base/file_contents.h"
#include "base/folder_security.h"
#include "base/messages.h"
#include "base/path_list.h"
#include "base/path_rules.h"
#include "base/uninstall_names.h"

namespace {

// A log or record is a few kilobytes; a file larger than this is none.
const unsigned kMaxSize = 16 * 1024 * 1024;

// Whether the file `name` of `folder` begins with `head` and then a line
// that is the name of an application other than `appName`. A file of
// another form (a damaged one among them) names no application.
bool NamesAnother(const char* folder, const char* name, const char* head, const char* appName) {
  SharedString path, text;
  FormatString(path, "%s\\%s", folder, name);
  if (ReadFileContents(path, kMaxSize, text) != FileRead::kDone) return false;
  const int headLength = static_cast<int>(strlen(head));
  if (strncmp(text, head, headLength) != 0) return false;
  const char* line = text.Text() + headLength;
  int length = 0;
  while (length <= uninstall::kMaxNameLength && static_cast<unsigned char>(line[length]) >= 0x20) {
    ++length;
  }
  if (length == 0 || length > uninstall::kMaxNameLength || line[length] != '\n') return false;
  return length != static_cast<int>(strlen(appName)) || !MatchesNoCase(line, appName, length);
}

// HoldsOnlyRecorded for the folder `below` of `destination` ("" itself).
bool HoldsOnlyRecordedBelow(const SharedString& destination, const SharedString& below,
                            const InstallRecord& record) {
  const SharedString folder = below.IsEmpty() ? destination : destination + "\\" + below;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(folder + "\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return false;  // even an empty folder lists "."
  bool own = true;
  do {
    const SharedString name(found.cFileName);
    if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) continue;
    const SharedString item = below.IsEmpty() ? name : below + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      own = false;
    } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      own =
          ListHoldsPath(record.folders, item) && HoldsOnlyRecordedBelow(destination, item, record);
    } else {
      own = ListHoldsPath(record.files, item) ||
            (below.IsEmpty() &&
             (IsSamePath(name, uninstall::kLogName) || IsSamePath(name, uninstall::kRecordName)));
    }
  } while (own && FindNextFileA(search, &found));
  FindClose(search);
  return own;
}

}  // namespace

bool HoldsOnlyRecorded(const char* folder, const InstallRecord& record) {
  return HoldsOnlyRecordedBelow(SharedString(folder), SharedString(), record);
}

unsigned DestinationRefusal(const char* folder, const char* appName, InstallRecord& record) {
  if (!AddEarlierInstalls(appName, folder, record)) return IDS_EARLIER_RECORD_CHANGED;
  const bool exists = GetFileAttributesA(folder) != INVALID_FILE_ATTRIBUTES;
  if (exists && RunsAsAdministrator() && IsFolderOpenToOthers(folder) &&
      !HoldsOnlyRecorded(folder, record)) {
    return IDS_FOLDER_OPEN;
  }
  return 0;
}

bool HoldsAnotherApplication(const char* folder, const char* appName) {
  return NamesAnother(folder, uninstall::kLogName, "", appName) ||
         NamesAnother(folder, uninstall::kRecordName, uninstall::kRecordHead, appName) ||
         NamesAnother(folder, uninstall::kRecordName, uninstall::kRecordHeadWithKeys, appName);
}
