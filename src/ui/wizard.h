// The wizard: the pages the package header selects (welcome, licence,
// destination, shortcuts) in one property sheet, shown before the install.
#ifndef VANTOREL_UI_WIZARD_H
#define VANTOREL_UI_WIZARD_H

#include <windows.h>

// True: go on and install (the user left through Finish, or the package
// selects no page). False: the user cancelled, or the wizard could not be
// shown (a warning said so); setup then ends without installing.
bool RunWizard();

// Centres the sheet on the desktop, once per run: each page calls it when
// it is created, and the first page created does it, before the sheet is
// shown.
void CentreSheetOnce(HWND page);

// The sheet's callback: before the sheet is made from its dialog template
// (PSCB_PRECREATE, `lParam` the template), gives it a system menu and so a
// close box. Other messages are ignored.
int CALLBACK SheetPreCreate(HWND sheet, UINT message, LPARAM lParam);

#endif
