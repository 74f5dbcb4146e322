// The run sequence's shortcut step: links to the installed program in the
// Programs menu, on the desktop and in the Startup folder.
#ifndef VANTOREL_SHORTCUTS_SHORTCUTS_H
#define VANTOREL_SHORTCUTS_SHORTCUTS_H

// Creates the shortcuts chosen in InstallSettings, in the order Programs,
// Desktop, Startup, and lists each one written in ShortcutList; failures
// are reported and the install goes on.
void CreateShortcuts();

// One shortcut "<AppName>.lnk" to `targetPath` directly in the special
// folder `csidl`, started in the destination directory. Reports its own
// failures: IDS_FOLDER_PATH with `folderLabel` when the folder has no path,
// IDS_CREATE_SHORTCUT when the link cannot be written.
void CreateShortcut(const char* targetPath, int csidl, const char* folderLabel);

#endif
