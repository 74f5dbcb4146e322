// The modeless progress dialog (resource 120) that the install engine shows
// while it reads the package and creates the files: a phase text, a bar with
// one step per file, and Cancel, which only sets InstallSettings'
// CancelRequested. The engine decides when to look at the flag.
//
// Every function accepts a null dialog and then does nothing, so the install
// can go on when the dialog could not be created.
#ifndef VANTOREL_UI_PROGRESS_DIALOG_H
#define VANTOREL_UI_PROGRESS_DIALOG_H

#include <windows.h>

// Visible, centred, without owner; captioned with the setup caption. Needs
// the progress bar class registered (InitCommonControls). Null on failure.
HWND CreateProgressDialog();

// Puts the string-table text `textId` into the phase line.
void SetProgressPhase(HWND dialog, unsigned textId);

// Shows the bar, empty; `fileCount` steps fill it.
void ShowProgressBar(HWND dialog, unsigned fileCount);
// One file done; the bar shows it at the next pump (at once for the last).
void StepProgressBar(HWND dialog);

// Brings the bar up to date and handles every message waiting for the
// dialog and its controls (paint, clicks, keys), then returns: the engine
// calls it after every file. Calls that follow the last one within a few
// hundredths of a second return at once (see the .cpp), so a Cancel may be
// seen a few files later; after the last file it always reads the queue.
void PumpProgressMessages(HWND dialog);

void DestroyProgressDialog(HWND dialog);

#endif
