#include "base/install_record_text.h"

#include <string.h>

#include "base/line_reader.h"
#include "base/path_list.h"
#include "base/path_rules.h"
#include "base/sha256_digest.h"
#include "base/uninstall_names.h"

namespace {

const int kMaxRaises = 999999999;  // what a count line may hold
// "earlier <digest> <full path>": the longest line.
const int kMaxLineLength = 8 + kDigestLength + 1 + LineReader::kMaxLineLength;

bool IsRecordedFolder(const char* path) {
  return strcmp(path, ".") == 0 || IsPlainRelativePath(path);
}

// "<digest> ...": the digest as Sha256Digest writes it, and a blank.
bool StartsWithDigest(const char* entry) {
  for (int i = 0; i < kDigestLength; ++i) {
    if (strchr("0123456789abcdef", entry[i]) == nullptr || entry[i] == '\0') return false;
  }
  return entry[kDigestLength] == ' ';
}

// "<digest> <full path>".
bool IsEarlierInstall(const char* entry) {
  return StartsWithDigest(entry) && IsPlainFullPath(entry + kDigestLength + 1);
}

// "HKLM\Software\Vendor": a root's name, then parts that are not empty
// and hold no control character.
bool IsRegistryKey(const char* key) {
  static const char* const kRoots[] = {"HKCR\\", "HKCU\\", "HKLM\\", "HKU\\"};
  const char* rest = nullptr;
  for (const char* root : kRoots) {
    if (strncmp(key, root, strlen(root)) == 0) rest = key + strlen(root);
  }
  if (rest == nullptr || strlen(key) > static_cast<size_t>(LineReader::kMaxLineLength))
    return false;
  char before = '\\';
  for (; *rest != '\0'; before = *rest++) {
    if (static_cast<unsigned char>(*rest) < 0x20 || (*rest == '\\' && before == '\\')) return false;
  }
  return before != '\\';
}

// "<digest> <key>=<name>": the name is all after the last "=" (a value's
// name in a package holds none).
bool IsRecordedValue(const char* entry) {
  const char* equals = strrchr(entry, '=');
  if (!StartsWithDigest(entry) || equals == nullptr ||
      strlen(entry) > static_cast<size_t>(kDigestLength + 1 + LineReader::kMaxLineLength)) {
    return false;
  }
  for (const char* c = equals; *c != '\0'; ++c) {
    if (static_cast<unsigned char>(*c) < 0x20) return false;
  }
  const SharedString value(entry);
  const int keyStart = kDigestLength + 1;
  return IsRegistryKey(value.Middle(keyStart, static_cast<int>(equals - entry) - keyStart));
}

// The kinds of line, in the order they come.
struct Kind {
  const char* keyword;
  SharedString InstallRecord::*list;
  bool (*accept)(const char* path);  // null: a shared file
};
const Kind kKinds[] = {
    {"folder", &InstallRecord::folders, IsRecordedFolder},
    {"file", &InstallRecord::files, IsPlainRelativePath},
    {"outside", &InstallRecord::outsideFiles, IsPlainFullPath},
    {"shared", &InstallRecord::sharedFiles, nullptr},
    {"earlier", &InstallRecord::earlierInstalls, IsEarlierInstall},
    {"key", &InstallRecord::keys, IsRegistryKey},
    {"value", &InstallRecord::values, IsRecordedValue},
};
const int kKindCount = sizeof kKinds / sizeof kKinds[0];

// Where the path of a shared file's entry "<raises> <path>" starts; 0 when
// the entry has no blank.
int SharedPathStart(const char* entry, int length) {
  for (int i = 0; i < length; ++i) {
    if (entry[i] == ' ') return i + 1;
  }
  return 0;
}

// Calls `visit` with each entry of a path list in place, until it returns
// true.
template <typename Visit>
bool AnyEntry(const SharedString& list, Visit visit) {
  const char* text = list.Text();
  const int length = list.Length();
  for (int start = 0; start < length;) {
    int end = start;
    while (end < length && text[end] != '\n') ++end;
    if (visit(text + start, end - start)) return true;
    start = end + 1;
  }
  return false;
}

bool HasSharedFile(const SharedString& sharedFiles, const char* path) {
  const int pathLength = static_cast<int>(strlen(path));
  return AnyEntry(sharedFiles, [&](const char* entry, int length) {
    const int start = SharedPathStart(entry, length);
    return length - start == pathLength && IsSamePathOfLength(entry + start, path, pathLength);
  });
}

// One line after the first two into `read`; `kind` is the kind of the line
// before, which this one may not precede. `merging`: a path there already
// is no fault, and a shared file's raises add up.
bool ReadEntry(const SharedString& line, int& kind, InstallRecord& read, bool merging = false) {
  const int blank = SharedPathStart(line, line.Length()) - 1;
  int k = kind;
  while (k < kKindCount && (blank != static_cast<int>(strlen(kKinds[k].keyword)) ||
                            strncmp(line, kKinds[k].keyword, blank) != 0)) {
    ++k;
  }
  if (k == kKindCount) return false;
  kind = k;
  const SharedString value = line.Middle(blank + 1, line.Length() - blank - 1);
  SharedString& list = read.*kKinds[k].list;
  if (kKinds[k].accept != nullptr) {
    if (!kKinds[k].accept(value)) return false;
    if (ListHoldsPath(list, value)) return merging;
    AppendPath(list, value);
    return true;
  }
  const int pathStart = SharedPathStart(value, value.Length());
  int raises = 0;
  if (pathStart == 0 || !ParseCount(value, pathStart - 1, raises) || raises == 0) return false;
  const char* path = value.Text() + pathStart;
  if (!IsPlainFullPath(path)) return false;
  if (merging) {
    AddSharedRaises(read, path, raises);
    return true;
  }
  if (HasSharedFile(list, path)) return false;
  AppendPath(list, value);
  return true;
}

void AppendLines(SharedString& text, const char* keyword, const SharedString& list) {
  SharedString path;
  for (int position = 0; NextPath(list, position, path);) {
    text += keyword;
    text += ' ';
    text += path;
    text += '\n';
  }
}

int LineCount(const SharedString& list) {
  int count = 0;
  AnyEntry(list, [&](const char*, int) { return ++count < 0; });
  return count;
}

}  // namespace

int ParseInstallRecord(const char* text, size_t size, InstallRecord& record) {
  LineReader lines(text, size);
  InstallRecord read;
  SharedString line;
  // The first line is the head without its line feed, of either version.
  if (!lines.Next(line) || line.Length() != static_cast<int>(sizeof uninstall::kRecordHead) - 2 ||
      (strncmp(line, uninstall::kRecordHead, line.Length()) != 0 &&
       strncmp(line, uninstall::kRecordHeadWithKeys, line.Length()) != 0)) {
    return lines.Number();
  }
  if (!lines.Next(read.appName) || read.appName.IsEmpty() || HasSeparator(read.appName)) {
    return lines.Number();
  }
  const bool withKeys =
      strncmp(text, uninstall::kRecordHeadWithKeys, sizeof uninstall::kRecordHeadWithKeys - 1) == 0;
  int kind = 0;
  while (!lines.AtEnd()) {
    if (!lines.Next(line, kMaxLineLength) || !ReadEntry(line, kind, read)) return lines.Number();
  }
  // The version says whether there are keys or values, as setup writes it.
  if (withKeys != (!read.keys.IsEmpty() || !read.values.IsEmpty())) return 1;
  record = read;
  return 0;
}

SharedString InstallRecordText(const InstallRecord& record) {
  SharedString text;
  int size = static_cast<int>(sizeof uninstall::kRecordHead) + record.appName.Length() + 1;
  for (const Kind& kind : kKinds) {
    const SharedString& list = record.*kind.list;
    size += list.Length() + LineCount(list) * static_cast<int>(strlen(kind.keyword) + 1);
  }
  text.Reserve(size);
  const bool keys = !record.keys.IsEmpty() || !record.values.IsEmpty();
  text += keys ? uninstall::kRecordHeadWithKeys : uninstall::kRecordHead;
  text += record.appName;
  text += '\n';
  for (const Kind& kind : kKinds) AppendLines(text, kind.keyword, record.*kind.list);
  return text;
}

bool NextSharedFile(const SharedString& sharedFiles, int& position, SharedString& path,
                    int& raises) {
  SharedString entry;
  if (!NextPath(sharedFiles, position, entry)) return false;
  const int start = SharedPathStart(entry, entry.Length());
  raises = 0;
  ParseCount(entry, start - 1, raises);
  path = entry.Middle(start, entry.Length() - start);
  return true;
}

bool NextEarlierInstall(const SharedString& earlierInstalls, int& position, SharedString& digest,
                        SharedString& folder) {
  SharedString entry;
  if (!NextPath(earlierInstalls, position, entry)) return false;
  digest = entry.Middle(0, kDigestLength);
  folder = entry.Middle(kDigestLength + 1, entry.Length() - kDigestLength - 1);
  return true;
}

void AddSharedRaises(InstallRecord& record, const char* path, int raises) {
  SharedString entries;
  SharedString entryPath;
  bool found = false;
  int recorded = 0;
  for (int position = 0; NextSharedFile(record.sharedFiles, position, entryPath, recorded);) {
    if (!found && IsSamePath(entryPath, path)) {
      found = true;
      recorded = raises > kMaxRaises - recorded ? kMaxRaises : recorded + raises;
    }
    SharedString entry;
    FormatString(entry, "%d %s", recorded, entryPath.Text());
    AppendPath(entries, entry);
  }
  if (!found) {
    SharedString entry;
    FormatString(entry, "%d %s", raises, path);
    AppendPath(entries, entry);
  }
  record.sharedFiles = entries;
}

bool AddInstallRecordLine(InstallRecord& record, const SharedString& line) {
  int kind = 0;
  return ReadEntry(line, kind, record, true);
}

void MergeInstallRecord(InstallRecord& record, const InstallRecord& other) {
  SharedString path;
  for (const Kind& kind : kKinds) {
    if (kind.accept == nullptr) continue;
    for (int position = 0; NextPath(other.*kind.list, position, path);) {
      AppendPathOnce(record.*kind.list, path);
    }
  }
  int raises = 0;
  for (int position = 0; NextSharedFile(other.sharedFiles, position, path, raises);) {
    AddSharedRaises(record, path, raises);
  }
}
