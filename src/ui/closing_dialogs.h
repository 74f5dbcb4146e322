// The setup program's closing dialogs: the finish dialog, or the restart
// dialog when a file waits for the restart. Both read InstallSettings
// (SetupCaption, InstanceHandle).
#ifndef VANTOREL_UI_CLOSING_DIALOGS_H
#define VANTOREL_UI_CLOSING_DIALOGS_H

// "Setup is complete!": modal, no owner; only "&Finish" closes it.
void ShowFinishDialog();

// Offers to restart the computer now ("Yes", preselected) or later; only
// "&Finish" closes it, and the computer is restarted after it
// (RestartComputer) when "Yes" was chosen.
void ShowRestartDialog();

#endif
