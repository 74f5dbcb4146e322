// Loading DLLs safely. A setup program usually runs from a downloads folder,
// where anyone may have left a DLL named like a system one. So the program
// imports only DLLs on the system's KnownDLLs list (always taken from the
// system directory); every other DLL is loaded here, by its full path in the
// system directory, and its functions are looked up by name or ordinal.
#ifndef VANTOREL_BASE_SYSTEM_LIBRARY_H
#define VANTOREL_BASE_SYSTEM_LIBRARY_H

#include <windows.h>
#include <prsht.h>

// First thing in the program, before any window: takes the program's own
// folder and the current directory out of the DLL search path for every
// later load, as far as the running Windows allows (SetDefaultDllDirectories
// needs Windows 8 or KB2533623, SetDllDirectoryA Windows XP SP1), and loads
// the DLLs that system DLLs load late (LoadLateLoadedSystemLibraries).
void HardenDllSearch();

// System DLLs that Windows' own DLLs load by bare name while the program
// runs: comctl32 loads uxtheme when it makes its first control. Such a late
// load may not keep to the narrowed search (and where it cannot be narrowed
// the program's folder comes first), so they are loaded here, by full path,
// and later loads find them loaded.
void LoadLateLoadedSystemLibraries();

// Loads `fileName` (a bare name such as "comctl32.dll") from the system
// directory only. Null when it is not there or the path would be too long.
HMODULE LoadSystemLibrary(const char* fileName);

// comctl32.dll: InitCommonControls is taken by its ordinal, 17, which every
// version of the DLL exports; the property sheet functions by name.
struct CommonControlsLibrary {
  void(WINAPI* InitCommonControls)();
  INT_PTR(WINAPI* PropertySheetA)(LPCPROPSHEETHEADERA header);
  HPROPSHEETPAGE(WINAPI* CreatePropertySheetPageA)(LPCPROPSHEETPAGEA page);
};

// version.dll: the version resource of existing files.
struct VersionLibrary {
  DWORD(WINAPI* GetFileVersionInfoSizeA)(LPCSTR fileName, LPDWORD handle);
  BOOL(WINAPI* GetFileVersionInfoA)(LPCSTR fileName, DWORD handle, DWORD size, LPVOID data);
  BOOL(WINAPI* VerQueryValueA)(LPCVOID block, LPCSTR subBlock, LPVOID* value, PUINT length);
};

// Loaded on first use and kept until the process ends. Null when the DLL or
// one of its functions is missing.
const CommonControlsLibrary* GetCommonControlsLibrary();
const VersionLibrary* GetVersionLibrary();

// Registers the standard control classes (the progress bar among them)
// through comctl32's ordinal 17; false when comctl32 cannot be loaded.
bool InitCommonControlsFromSystem();

#endif
