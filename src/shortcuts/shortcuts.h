// The run sequence's shortcut step: links to the installed program in the
// Programs menu, on the desktop and in the Startup folder.
#ifndef VANTOREL_SHORTCUTS_SHORTCUTS_H
#define VANTOREL_SHORTCUTS_SHORTCUTS_H

// Creates the shortcuts chosen in InstallSettings and lists each one in
// ShortcutList; failures are reported and the install goes on.
void CreateShortcuts();

#endif
