// The destination as setup takes it: from the destination page, or, when
// that page is not shown, the default that the run begins with.
#ifndef VANTOREL_UI_DESTINATION_CHOICE_H
#define VANTOREL_UI_DESTINATION_CHOICE_H

#include <windows.h>

// Puts the folder `text` names into DestinationDir, in the form the
// uninstaller finds it in again ("/" taken as "\", the blanks and dots
// that end a name trimmed: base/path_rules.h DestinationFromText). False,
// after an error box owned by `owner` (the page, or none), when `text` is
// not a full path of a folder (IDS_DESTINATION_REFUSED), the folder
// holds another application (IDS_OTHER_APPLICATION), or setup cannot take
// it for what base/folder_owner.h DestinationRefusal says; DestinationDir
// then stays as it was.
bool TakeDestination(HWND owner, const char* text);

#endif
