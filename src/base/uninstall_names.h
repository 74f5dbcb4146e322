// Names the setup program and the uninstaller share: the uninstaller's file,
// the log's file and check lines, and the registry keys both use (all below
// HKEY_LOCAL_MACHINE).
#ifndef VANTOREL_BASE_UNINSTALL_NAMES_H
#define VANTOREL_BASE_UNINSTALL_NAMES_H

namespace uninstall {

// In the Windows directory, shared by every application Vantorel installed.
constexpr char kUninstallerName[] = "VTUnInst.exe";
// In the application's destination directory.
constexpr char kLogName[] = "Uninst.log";
constexpr char kCheckLine[] = "CheckProgramNotRunning";
constexpr char kNoCheckLine[] = "Don'tCheckProgramNotRunning";
// Filled with the application's name.
constexpr char kUninstallKeyFormat[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s";
// One REG_DWORD usage count per shared file, named by its full path.
constexpr char kSharedDllsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

}  // namespace uninstall

#endif
