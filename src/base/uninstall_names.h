// Names the setup program and the uninstaller share: the uninstaller's file,
// the log's and the install record's files, the log's check lines, the
// folders of the shortcuts, and the key of shared-file counts (below
// HKEY_LOCAL_MACHINE). The Uninstall entry has a module of its own
// (base/uninstall_key.h).
#ifndef VANTOREL_BASE_UNINSTALL_NAMES_H
#define VANTOREL_BASE_UNINSTALL_NAMES_H

namespace uninstall {

// In the Windows directory, shared by every application Vantorel installed
// with a setup program of its own kind: the 32-bit and the 64-bit programs
// each read their own registry view (and the 32-bit ones see the system
// folder through WoW64), so neither may take the other's place.
constexpr char kUninstaller32Name[] = "VTUnInst.exe";
constexpr char kUninstaller64Name[] = "VTUnInst64.exe";
// This program's own (vtpack, which packs both, chooses by the package).
#ifdef _WIN64
constexpr const char* kUninstallerName = kUninstaller64Name;
#else
constexpr const char* kUninstallerName = kUninstaller32Name;
#endif
// In the application's destination directory.
constexpr char kLogName[] = "Uninst.log";
constexpr char kCheckLine[] = "CheckProgramNotRunning";
constexpr char kNoCheckLine[] = "Don'tCheckProgramNotRunning";
// The longest application name and window class in the log: the package
// header's text fields hold 30 characters and a NUL (package/layout.h).
constexpr int kMaxNameLength = 30;
// Beside the log: what setup installed (base/install_record_text.h).
constexpr char kRecordName[] = "Uninst.rec";
// Its first line, and the line feed that ends it.
constexpr char kRecordHead[] = "Vantorel install record 1\n";
// The same for a record that names registry keys or values, which an
// uninstaller of format 1 does not know; of the same length.
constexpr char kRecordHeadWithKeys[] = "Vantorel install record 2\n";
// The shell folders setup makes "<AppName>.lnk" in, as CSIDL numbers.
constexpr int kProgramsFolder = 0x02;  // CSIDL_PROGRAMS
constexpr int kDesktopFolder = 0x00;   // CSIDL_DESKTOP
constexpr int kStartupFolder = 0x07;   // CSIDL_STARTUP
constexpr int kShortcutFolders[] = {kProgramsFolder, kDesktopFolder, kStartupFolder};
// One usage count per shared file, named by its full path: REG_DWORD as
// setup stores it, any value of 4 bytes as others may (base/registry_value.h).
constexpr char kSharedDllsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

}  // namespace uninstall

#endif
