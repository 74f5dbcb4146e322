// The application's entry in the system's list of installed programs, the
// key "Software\Microsoft\Windows\CurrentVersion\Uninstall\<AppName>" of
// HKEY_LOCAL_MACHINE, or of HKEY_CURRENT_USER for a per-user package
// (base/install_scope.h): setup writes it, the uninstaller checks and
// removes it, vtpack adds the vendor's values to it, and this is the one
// place that knows its name and values.
//
// Only administrators may write the machine's key, while the application's
// folder may be open to its users: the SHA-256 digests of the log and the
// install record kept there ("UninstallLogSHA256", "InstallRecordSHA256",
// 64 lower-case hexadecimal digits each) are the word about those files
// that their users cannot change. A per-user install's key and folder are
// both the user's own: there the digests tell that the files are still as
// setup wrote them. Windows' list of programs and deployment tools read
// the other values. The package's own registry records may add more
// (a vendor's "Publisher" and "URLInfoAbout"), written before the entry and
// left as they are; removing the entry removes them with it. While an
// install is under way, or after one stopped, the entry holds its journal
// (base/install_journal.h) as its one subkey.
#ifndef VANTOREL_BASE_UNINSTALL_KEY_H
#define VANTOREL_BASE_UNINSTALL_KEY_H

#include "base/shared_string.h"

// What setup writes, each value REG_SZ unless said otherwise:
//   DisplayName, DisplayVersion   the application's name and version
//   UninstallString               "<uninstaller> <log>", neither quoted: the
//                                 uninstaller takes the rest of its line
//                                 (per user: "\"<uninstaller>\" <log>")
//   QuietUninstallString          "\"<uninstaller>\" /S \"<log>\""
//   InstallLocation               the destination folder
//   DisplayIcon                   the installed program, when there is one
//   EstimatedSize                 REG_DWORD, KiB of the installed files
//   NoModify, NoRepair            REG_DWORD 1: there is only removal
//   the two digests
struct UninstallEntryValues {
  const char* appName;
  const char* version;
  const char* uninstaller;  // full path
  const char* logPath;
  const char* folder;
  const char* program;  // full path; empty: none (an earlier one goes)
  unsigned sizeKiB;
  const SharedString* logText;
  const SharedString* recordText;
};

// Without `logText` (and `recordText`), only the entry of an install under
// way (base/install_journal.h): DisplayName, UninstallString and
// QuietUninstallString, no version a deployment tool would take for an
// install done, no digests.
// What could not be written; 0 when everything was.
enum : unsigned {
  kEntryKeyNotCreated = 1,  // then nothing else was tried
  kDisplayNameNotSaved = 2,
  kUninstallStringNotSaved = 4,
  kOtherValueNotSaved = 8,
};
unsigned WriteUninstallEntry(const UninstallEntryValues& values);

// The key that holds every application's entry, below HKEY_LOCAL_MACHINE
// (or HKEY_CURRENT_USER).
inline constexpr char kUninstallKeyParent[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// The entry's values that vtpack writes as registry records of the package
// (the layout has no other place for them), from the project's
// [application] publisher and url.
inline constexpr char kPublisherValue[] = "Publisher";
inline constexpr char kUrlInfoAboutValue[] = "URLInfoAbout";

// The key's name below its root: the parent, "\\", the name.
SharedString UninstallKeyName(const char* appName);

// What the uninstaller and a reinstall read back. The digests are empty
// for an entry that another setup program wrote.
struct RegisteredEntry {
  SharedString uninstallString;
  SharedString logDigest;
  SharedString recordDigest;
};
// False when the application has no entry.
bool ReadRegisteredEntry(const char* appName, RegisteredEntry& entry);

// Stores the digests of `logText` and `recordText` in the existing entry
// of `appName`: what a log and a record written anew by the uninstaller
// are vouched for by. False when either cannot be stored.
bool WriteEntryDigests(const char* appName, const SharedString& logText,
                       const SharedString& recordText);

// The names of the two digests' values.
inline constexpr char kLogDigestValue[] = "UninstallLogSHA256";
inline constexpr char kRecordDigestValue[] = "InstallRecordSHA256";

// The same in the existing key `keyName` below the entry's root, as those
// two values.
bool WriteDigestsAt(const char* keyName, const SharedString& logText,
                    const SharedString& recordText);

// Whether the digest of `size` bytes at `data` is `digest`.
bool MatchesDigest(const char* data, int size, const SharedString& digest);

#endif
