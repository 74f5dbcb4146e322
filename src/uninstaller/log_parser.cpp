#include "uninstaller/log_parser.h"

#include <string.h>

#include "base/path_list.h"
#include "base/uninstall_names.h"
#include "package/layout.h"
#include "uninstaller/path_rules.h"

namespace {

const int kMaxPathLength = 259;  // MAX_PATH without the NUL
const int kMaxCountDigits = 9;

// The log's lines one after another, counted from 1.
class LineReader {
 public:
  LineReader(const char* text, size_t size) : text_(text), size_(size) {}

  int Number() const { return number_; }
  bool AtEnd() const { return position_ == size_; }

  // The next line without its "\n"; false when no whole line is left or
  // the line holds a control character.
  bool Next(SharedString& line) {
    ++number_;
    size_t end = position_;
    while (end < size_ && text_[end] != '\n') {
      if (static_cast<unsigned char>(text_[end]) < 0x20) return false;
      ++end;
    }
    if (end == size_ || end - position_ > static_cast<size_t>(kMaxPathLength)) return false;
    line.Empty();
    memcpy(line.GetBufferOfLength(static_cast<int>(end - position_)), text_ + position_,
           end - position_);
    position_ = end + 1;
    return true;
  }

 private:
  const char* text_;
  size_t size_;
  size_t position_ = 0;
  int number_ = 0;
};

bool IsCount(const SharedString& line, int& count) {
  const int length = line.Length();
  if (length == 0 || length > kMaxCountDigits || (line.Text()[0] == '0' && length > 1)) {
    return false;
  }
  count = 0;
  for (int i = 0; i < length; ++i) {
    const char c = line.Text()[i];
    if (c < '0' || c > '9') return false;
    count = count * 10 + (c - '0');
  }
  return true;
}

bool EndsWithLnk(const SharedString& path) {
  const int length = path.Length();
  if (length < 4) return false;
  const char* end = path.Text() + length - 4;
  return end[0] == '.' && (end[1] | 0x20) == 'l' && (end[2] | 0x20) == 'n' &&
         (end[3] | 0x20) == 'k';
}

bool IsShortcutPath(const SharedString& path) { return IsFullPath(path) && EndsWithLnk(path); }
bool IsSharedFilePath(const SharedString& path) { return IsFullPath(path); }

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
  const int kMaxText = layout::kMaxTextLength;
  if (!lines.Next(read.appName) || read.appName.IsEmpty() || read.appName.Length() > kMaxText) {
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
