// VTUnInst.exe's run: reads the log named on the command line and removes
// what it lists.
#ifndef VANTOREL_UNINSTALLER_UNINSTALLER_H
#define VANTOREL_UNINSTALLER_UNINSTALLER_H

// In this order, and nothing removed before the user confirmed:
//  1. the log's path from the command line, and the log, read strictly;
//  2. the log's folder, refused when it is not the application's own;
//  3. the user's confirmation, and (when the log asks for it) the
//     application's program closed;
//  4. the shortcuts; the shared files' usage counts, each file whose count
//     reaches 0 removed when the user agrees; the log's folder with all it
//     holds; the application's Uninstall entry;
//  5. a closing message: removed, or what was left and why.
// Returns the exit code: 0 when everything was removed, 1 otherwise (also
// when the user stopped, or the log could not be used).
int RunUninstaller();

#endif
