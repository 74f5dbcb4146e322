// The base directories that file records name by their destination type,
// the folder of the default destination, and where the uninstaller goes.
#ifndef VANTOREL_ENGINE_SYSTEM_FOLDERS_H
#define VANTOREL_ENGINE_SYSTEM_FOLDERS_H

#include <windows.h>

#include "base/shared_string.h"
#include "package/file_table.h"

// The program-files directory from the registry ("ProgramFilesPath" with
// environment variables expanded, else "ProgramFilesDir"), or
// "C:\Program Files" when neither can be read.
SharedString GetProgramFilesDirectory();

// The folder that holds the default destination "<folder>\<AppName>": the
// program-files directory, or for a per-user package (base/install_scope.h)
// the user's own "<local application data>\Programs", where Windows keeps
// the programs installed for one user.
SharedString GetApplicationsDirectory();

// "<Windows directory>\VTUnInst.exe": the one uninstaller that every
// application installed for the machine shares. A per-user package's
// uninstaller is "<destination>\VTUnInst.exe", the user's own, which goes
// with the application.
SharedString UninstallerPath();

// The base directory of a destination type (0 application, 1 Windows,
// 2 system, 3 fonts, 4 program files, 5 common files). A folder that cannot
// be found gives an empty base. False only for an unknown type.
bool GetDestinationBase(unsigned destinationType, SharedString& base);

// A file record's directory: its base, "\" and its SubDirectory (which
// normally ends in "\", so that the file name follows). False only for an
// unknown destination type.
bool GetRecordFolder(const FileRecord& record, SharedString& folder);

#endif
