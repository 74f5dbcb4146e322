// The install record: what setup installed for one application, kept as
// "Uninst.rec" beside its "Uninst.log" so that the uninstaller removes that
// and nothing else. Setup writes it and merges an earlier one into it; the
// uninstaller reads it. docs/install-record.md describes it for others.
//
// Plain text in the system code page, every line ended by "\n" alone:
//   Vantorel install record 1        what the file is, and its version
//   <application name>               as on the log's first line
//   folder <path>                    a folder setup created in the destination
//                                    folder: its path below it, "." for the
//                                    destination folder itself
//   file <path>                      a file setup wrote there (created or
//                                    replaced): its path below the folder
//   outside <full path>              a file setup created outside it (Windows,
//                                    system, fonts, program-files, common-files
//                                    folders) that was not there before
//   shared <raises> <full path>      a shared file whose usage count this
//                                    application raised <raises> times
//   earlier <digest> <full path>     the destination folder of an earlier
//                                    install of the application, elsewhere,
//                                    and the SHA-256 digest of the record
//                                    that install left there (64 lower-case
//                                    hexadecimal digits): the uninstaller
//                                    removes that install too
//   key <root>\<path>                a registry key setup created; <root> is
//                                    HKCR, HKCU, HKLM or HKU
//   value <digest> <root>\<path>=<name>
//                                    a value setup wrote where there was none
//                                    (<name> empty: the key's default value),
//                                    and the SHA-256 digest of its type (4
//                                    bytes, little-endian) and data: it goes
//                                    while it holds that
// The seven kinds of line come in this order, each path at most once (case
// ignored), every path plain (base/path_rules.h: no "..", stream or device
// names). A record with key or value lines says so by its version, 2.
//
// Works on bytes in memory only, so it builds natively and takes any input
// a fuzzer gives it.
#ifndef VANTOREL_BASE_INSTALL_RECORD_TEXT_H
#define VANTOREL_BASE_INSTALL_RECORD_TEXT_H

#include <stddef.h>

#include "base/shared_string.h"

// Path lists as in base/path_list.h, each path followed by "\n".
struct InstallRecord {
  SharedString appName;
  SharedString folders;          // below the destination folder; "." itself
  SharedString files;            // below the destination folder
  SharedString outsideFiles;     // full paths
  SharedString sharedFiles;      // "<raises> <full path>" each
  SharedString earlierInstalls;  // "<digest> <full path>" each
  SharedString keys;             // "<root>\<path>" each
  SharedString values;           // "<digest> <root>\<path>=<name>" each
};

// 0 when the `size` bytes at `text` are a whole record, which then fills
// `record`; otherwise the number (from 1) of the first wrong or missing
// line, and `record` is left as it was.
int ParseInstallRecord(const char* text, size_t size, InstallRecord& record);

// The record's text, as ParseInstallRecord reads it.
SharedString InstallRecordText(const InstallRecord& record);

// Adds `raises` to the raises recorded for the shared file at `path`.
void AddSharedRaises(InstallRecord& record, const char* path, int raises);
// Walks the shared files as NextPath walks a path list.
bool NextSharedFile(const SharedString& sharedFiles, int& position, SharedString& path,
                    int& raises);

// Walks the earlier installs as NextPath walks a path list.
bool NextEarlierInstall(const SharedString& earlierInstalls, int& position, SharedString& digest,
                        SharedString& folder);

// Adds one line of the record's form ("file Docs\a.txt") to `record`, of any
// kind and in any order: a path it holds already is not added again, and a
// shared file's raises add to those recorded. False for a line no record
// may hold.
bool AddInstallRecordLine(InstallRecord& record, const SharedString& line);

// Adds everything `other` records to `record`: its paths, and its raises to
// those of the same shared file.
void MergeInstallRecord(InstallRecord& record, const InstallRecord& other);

#endif
