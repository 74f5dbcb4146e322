#include "base/earlier_installs.h"

#include "base/file_contents.h"
#include "base/install_journal.h"
#include "base/path_list.h"
#include "base/path_rules.h"
#include "base/program_arguments.h"
#include "base/uninstall_key.h"
#include "base/uninstall_names.h"

namespace {

// Far more than the record of any package holds.
const unsigned kMaxRecordSize = 64 * 1024 * 1024;
// The installs followed, as the uninstaller follows them.
const int kMaxInstalls = 16;

enum class Vouched { kRecord, kMissing, kChanged };

// The record of `appName` in `folder` whose digest is `digest`, or
// `pending`, the digest of the record that a stopped install was putting in
// place (then `pendingFound` is set).
Vouched ReadVouchedRecord(const char* folder, const SharedString& digest,
                          const SharedString& pending, const char* appName, InstallRecord& record,
                          bool& pendingFound) {
  SharedString path, text;
  FormatString(path, "%s\\%s", folder, uninstall::kRecordName);
  switch (ReadFileContents(path, kMaxRecordSize, text)) {
    case FileRead::kMissing:
      return Vouched::kMissing;
    case FileRead::kUnreadable:
      return Vouched::kChanged;
    case FileRead::kDone:
      break;
  }
  const bool isPending = !pending.IsEmpty() && MatchesDigest(text.Text(), text.Length(), pending);
  if ((!isPending && !MatchesDigest(text.Text(), text.Length(), digest)) ||
      ParseInstallRecord(text.Text(), static_cast<size_t>(text.Length()), record) != 0 ||
      !IsSamePath(record.appName, appName)) {
    return Vouched::kChanged;
  }
  pendingFound |= isPending;
  return Vouched::kRecord;
}

// The folder of the log that the entry's UninstallString names:
// "<uninstaller> <folder>\Uninst.log", as setup writes it (the
// uninstaller's path quoted for a per-user package).
bool EntryFolder(const RegisteredEntry& entry, SharedString& folder) {
  const char* command = entry.uninstallString;
  const char* log = SkipBlanks(AfterProgramPath(command));
  if (log == command || *log == '\0') return false;
  folder = log;
  folder = folder.Middle(0, LastSeparator(folder));
  return true;
}

// `record`'s earlier installs, without the one in `folder`.
void DropEarlierIn(InstallRecord& record, const char* folder) {
  SharedString kept, digest, other, line;
  for (int position = 0; NextEarlierInstall(record.earlierInstalls, position, digest, other);) {
    FormatString(line, "%s %s", digest.Text(), other.Text());
    if (!IsSamePath(other, folder)) AppendPath(kept, line);
  }
  record.earlierInstalls = kept;
}

// The chain of vouched records, from the one the entry names (or, for an
// install that stopped before its entry had digests, `pending`).
bool AddVouchedInstalls(const char* appName, const char* folder, const SharedString& pending,
                        InstallRecord& record, bool& covered) {
  RegisteredEntry entry;
  SharedString chain, digest, other;
  if (!ReadRegisteredEntry(appName, entry) || !EntryFolder(entry, other)) return true;
  const SharedString& first = entry.recordDigest.IsEmpty() ? pending : entry.recordDigest;
  if (first.IsEmpty()) return true;
  FormatString(chain, "%s %s\n", first.Text(), other.Text());
  if (!IsSamePath(other, folder)) record.earlierInstalls += chain;
  // Breadth first through the chain, each folder once, until `folder`.
  int position = 0;
  for (int count = 0; count < kMaxInstalls && NextEarlierInstall(chain, position, digest, other);
       ++count) {
    InstallRecord earlier;
    const Vouched vouched = ReadVouchedRecord(other, digest, pending, appName, earlier, covered);
    if (IsSamePath(other, folder)) {
      if (vouched == Vouched::kChanged) return false;
      if (vouched == Vouched::kRecord) MergeInstallRecord(record, earlier);
      break;
    }
    SharedString line, next;
    for (int at = 0; vouched == Vouched::kRecord &&
                     NextEarlierInstall(earlier.earlierInstalls, at, digest, next);) {
      FormatString(line, "%s %s", digest.Text(), next.Text());
      if (!ListHoldsPath(chain, line)) AppendPath(chain, line);
    }
  }
  DropEarlierIn(record, folder);
  return true;
}

}  // namespace

bool AddEarlierInstalls(const char* appName, const char* folder, InstallRecord& record) {
  InstallJournal stopped;
  bool covered = false;  // by a record the stopped install put in place
  const bool hasStopped = ReadInstallJournal(appName, stopped);
  if (!AddVouchedInstalls(appName, folder, stopped.recordDigest, record, covered)) return false;
  // What a stopped install made is this application's own.
  if (hasStopped && !covered) AddJournalToRecord(stopped, folder, record);
  return true;
}
