// The modeless progress dialog (resource 120) that the install engine shows
// while it reads the package and creates the files: a phase text, a bar with
// one step per file, and Cancel, which only sets InstallSettings'
// CancelRequested. The engine decides when to look at the flag.
//
// When the dialog could not be created every call does nothing, so the
// install can go on without it.
#ifndef VANTOREL_UI_PROGRESS_DIALOG_H
#define VANTOREL_UI_PROGRESS_DIALOG_H

#include <windows.h>

#include "state/install_progress.h"

class ProgressDialog final : public InstallProgress {
 public:
  ProgressDialog() = default;
  ProgressDialog(const ProgressDialog&) = delete;
  ProgressDialog& operator=(const ProgressDialog&) = delete;

  // Visible, centred, without owner; captioned with the setup caption and
  // showing "Reading data...". Needs the progress bar class registered
  // (InitCommonControls). Without `cancellable` its Cancel button is
  // disabled, and Escape and the close box do nothing either. False when
  // it could not be made.
  bool Create(bool cancellable = true);

  void SetPhase(unsigned textId) override;
  void ShowBar(unsigned fileCount) override;
  // One file done; the bar shows it at the next pump (at once for the last).
  void StepBar() override;
  // Brings the bar up to date and handles every message waiting for the
  // dialog and its controls, then returns. Calls that follow the last one
  // within a tenth of a second return at once (see the .cpp), so a
  // Cancel may be seen a few files later; after the last file it always
  // reads the queue.
  void Pump() override;
  // IDS_CONFIRM_EXIT, owned by the dialog, when Cancel was pressed.
  bool CancelConfirmed() override;
  // Destroys the dialog.
  void Close() override;

 private:
  void ShowBarProgress();

  HWND window_ = nullptr;
  // The bar's range is its width in pixels, so it is redrawn only when its
  // filled part grows by a pixel. Counting files in 32 bits means no number
  // of files makes it fill up and start again.
  unsigned files_ = 0;   // steps that fill the bar
  unsigned done_ = 0;    // steps made
  unsigned pixels_ = 1;  // the bar's range
  unsigned shown_ = 0;   // the bar's position
  bool pumpedOnce_ = false;
  DWORD pumpedAt_ = 0;
};

#endif
