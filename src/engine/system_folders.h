// The base directories that file records name by their destination type,
// and the program-files directory that also makes the default destination.
#ifndef VANTOREL_ENGINE_SYSTEM_FOLDERS_H
#define VANTOREL_ENGINE_SYSTEM_FOLDERS_H

#include <windows.h>

#include "base/shared_string.h"
#include "package/file_table.h"

// The program-files directory from the registry ("ProgramFilesPath" with
// environment variables expanded, else "ProgramFilesDir"), or
// "C:\Program Files" when neither can be read.
SharedString GetProgramFilesDirectory();

// "<Windows directory>\VTUnInst.exe": the one uninstaller that every
// application installed by Vantorel shares.
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
