#include "uninstaller/log_parser.h"

#include <string.h>

#include "base/compare_no_case.h"
#include "base/line_reader.h"
#include "base/path_list.h"
#include "base/path_rules.h"
#include "base/uninstall_names.h"

namespace {

bool IsCount(const SharedString& line, int& count) {
  return ParseCount(line, line.Length(), count);
}

bool EndsWithLnk(const SharedString& path) {
  const int length = path.Length();
  return length >= 4 && MatchesNoCase(path.Text() + length - 4, ".lnk", 4);
}

bool IsShortcutPath(const SharedString& path) { return IsFullPath(path) && EndsWithLnk(path); }
bool IsSharedFilePath(const SharedString& path) { return IsPlainFullPath(path); }

// A count line and that many paths, each passing `accept`, into `list`.
bool ReadList(LineReader& lines, bool (*accept)(const SharedString&), int& count,
              SharedString& list) {
  SharedString line;
  if (!lines.Next(line) || !IsCount(line, count)) return false;
  for (int i = 0; i < count; ++i) {
    if (!lines.Next(line) || !accept(line)) return false;
    AppendPath(list, line);
  }
  return true;
}

}  // namespace

int ParseUninstallLog(const char* text, size_t size, UninstallLog& log) {
  LineReader lines(text, size);
  UninstallLog read;
  SharedString line;
  const int kMaxText = uninstall::kMaxNameLength;
  // The name is the last part of a registry key and of the links' names.
  if (!lines.Next(read.appName) || read.appName.IsEmpty() || read.appName.Length() > kMaxText ||
      HasSeparator(read.appName)) {
    return lines.Number();
  }
  if (!lines.Next(line)) return lines.Number();
  if (strcmp(line, uninstall::kCheckLine) == 0) {
    read.checkProgramNotRunning = true;
    if (!lines.Next(read.windowClass) || read.windowClass.Length() > kMaxText) {
      return lines.Number();
    }
  } else if (strcmp(line, uninstall::kNoCheckLine) != 0) {
    return lines.Number();
  }
  if (!ReadList(lines, IsShortcutPath, read.shortcutCount, read.shortcuts) ||
      !ReadList(lines, IsSharedFilePath, read.sharedFileCount, read.sharedFiles)) {
    return lines.Number();
  }
  if (!lines.AtEnd()) return lines.Number() + 1;
  log = read;
  return 0;
}

namespace {

// The shortcut lines follow the name, the check line, the class line (with
// the check) and the count.
int FirstShortcutLine(const UninstallLog& log) { return log.checkProgramNotRunning ? 5 : 4; }

}  // namespace

int FindRepeatedSharedLine(const UninstallLog& log) {
  // After the shortcuts and the count of shared files.
  int line = FirstShortcutLine(log) + log.shortcutCount + 1;
  SharedString seen, path;
  for (int position = 0; NextPath(log.sharedFiles, position, path); ++line) {
    if (ListHoldsPath(seen, path)) return line;
    AppendPath(seen, path);
  }
  return 0;
}

int FindWrongShortcutLine(const UninstallLog& log, const SharedString* folders, int folderCount) {
  const int firstLine = FirstShortcutLine(log);
  SharedString seen;
  SharedString path;
  int line = firstLine;
  for (int position = 0; NextPath(log.shortcuts, position, path); ++line) {
    bool allowed = false;
    for (int i = 0; i < folderCount && !allowed; ++i) {
      allowed = !folders[i].IsEmpty() && IsSamePath(path, folders[i] + "\\" + log.appName + ".lnk");
    }
    SharedString earlier;
    for (int at = 0; allowed && NextPath(seen, at, earlier);) allowed = !IsSamePath(earlier, path);
    if (!allowed) return line;
    AppendPath(seen, path);
  }
  return 0;
}
