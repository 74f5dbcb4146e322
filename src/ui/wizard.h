// The wizard: the pages the package header selects (welcome, licence,
// destination, shortcuts) in one property sheet, shown before the install.
#ifndef VANTOREL_UI_WIZARD_H
#define VANTOREL_UI_WIZARD_H

// True: go on and install. False: the user left the wizard, or it could not
// be shown; setup then ends without installing.
bool RunWizard();

#endif
