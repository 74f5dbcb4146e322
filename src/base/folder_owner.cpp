#include "base/folder_owner.h"

#include <string.h>

#include "base/compare_no_case.h"
#include "base/file_contents.h"
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

}  // namespace

bool HoldsAnotherApplication(const char* folder, const char* appName) {
  return NamesAnother(folder, uninstall::kLogName, "", appName) ||
         NamesAnother(folder, uninstall::kRecordName, uninstall::kRecordHead, appName);
}
