// Ids of the setup program's resources: its dialogs, their controls and its
// icon. Shared by the resource script and the code that drives the dialogs.
#ifndef VANTOREL_UI_RESOURCE_IDS_H
#define VANTOREL_UI_RESOURCE_IDS_H

#define IDI_SETUP 110

// Progress dialog: phase text, file progress, Cancel (IDCANCEL).
#define IDD_PROGRESS 120
#define IDC_PROGRESS_BAR 1027
#define IDC_PROGRESS_TEXT 1028

// Closing dialogs; both end through "&Finish".
#define IDD_RESTART 122
#define IDD_FINISH 123
#define IDC_FINISH 3
#define IDC_RESTART_YES 1047
#define IDC_RESTART_NO 1048

#endif
