// InstallProgress: what the install engine shows the user while it works,
// and the one thing it asks. The progress dialog implements it, so the
// engine knows nothing of dialogs.
#ifndef VANTOREL_STATE_INSTALL_PROGRESS_H
#define VANTOREL_STATE_INSTALL_PROGRESS_H

class InstallProgress {
 public:
  // The phase line: a string-table text ("Reading data...", ...).
  virtual void SetPhase(unsigned textId) = 0;
  // Shows the bar, empty; `fileCount` steps fill it.
  virtual void ShowBar(unsigned fileCount) = 0;
  virtual void StepBar() = 0;
  // Handles the user's input that waits (painting, Cancel, keys).
  virtual void Pump() = 0;
  // After Pump: when Cancel was pressed, asks whether to leave the install.
  // True for Yes; No forgets the request.
  virtual bool CancelConfirmed() = 0;
  // The install is over (done, or left through Cancel).
  virtual void Close() = 0;

 protected:
  ~InstallProgress() = default;
};

#endif
