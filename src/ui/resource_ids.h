// Ids of the setup program's resources: its dialogs, their controls and its
// icon. Shared by the resource script and the code that drives the dialogs.
#ifndef VANTOREL_UI_RESOURCE_IDS_H
#define VANTOREL_UI_RESOURCE_IDS_H

#define IDI_SETUP 110

// Wizard pages, each with the banner link (hyperlink/hyperlink_resources.h)
// at its top left.
#define IDD_LICENCE 103
#define IDD_DESTINATION 104
#define IDD_SHORTCUTS 105
#define IDD_WELCOME 121
#define IDC_LICENCE_TEXT 1004
#define IDC_PROGRAMS_SHORTCUT 1008
#define IDC_DESKTOP_SHORTCUT 1009
#define IDC_STARTUP_SHORTCUT 1010
#define IDC_DESTINATION_EDIT 1021
#define IDC_WELCOME_TEXT 1024
#define IDC_DESTINATION_TEXT 1025
#define IDC_SHORTCUTS_TEXT 1026
#define IDC_BROWSE 1029
#define IDC_HYPERLINK 1030
#define IDC_AGREE 1031
#define IDC_DISAGREE 1032

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
