// The uninstaller's message boxes, without owner: its texts
// (uninstaller/uninstaller_text.h) as questions, failures and the closing
// message.
#ifndef VANTOREL_UNINSTALLER_UNINSTALLER_BOXES_H
#define VANTOREL_UNINSTALLER_UNINSTALLER_BOXES_H

#include "uninstaller/uninstaller_text_ids.h"

class LeftItems;

// Error box with text `id`: why the uninstaller ends without removing
// anything.
void ShowFailure(const char* caption, unsigned id, ...);

// Asks once before anything is removed; No is preselected.
bool ConfirmRemoval(const char* caption, const char* appName);

// While a window of `windowClass` exists, asks the user to close the
// program (Retry) or to stop (Cancel). False when the user stops.
bool WaitForProgramToClose(const char* caption, const char* appName, const char* windowClass);

// Windows' convention for a shared file that no program counts any more:
// the user decides; No is preselected.
bool AskToRemoveSharedFile(const char* caption, const char* path);

// The closing message: the application was removed, or what was left and
// why.
void ShowOutcome(const char* caption, const char* appName, const LeftItems& left);

#endif
