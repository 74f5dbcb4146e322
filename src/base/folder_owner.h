// Whose folder a destination is: setup installs one application per
// folder, because the names of the uninstall log and the install record
// are fixed ("Uninst.log", "Uninst.rec"), and a second application's would
// take the first one's place.
#ifndef VANTOREL_BASE_FOLDER_OWNER_H
#define VANTOREL_BASE_FOLDER_OWNER_H

#include "base/install_record_text.h"

// Whether `folder` holds the uninstall log or the install record of an
// application other than `appName`: a log whose first line, or a record
// whose second line, is another name (case aside, as Uninstall entries
// are named). A file of either name that is of another form (a damaged
// log) is no application's.
bool HoldsAnotherApplication(const char* folder, const char* appName);

// What else keeps setup from installing `appName` into `folder`, the
// message saying so; 0 when nothing does. IDS_EARLIER_RECORD_CHANGED: an
// earlier install's record there is not as setup wrote it
// (base/earlier_installs.h), and would be written over. IDS_FOLDER_OPEN:
// run as an administrator, the existing folder can be changed by others
// (base/folder_security.h) and holds more than the earlier install of the
// application that the chain vouches for; the caller may take such a
// folder only once it secured it. `record` gets the earlier installs.
unsigned DestinationRefusal(const char* folder, const char* appName, InstallRecord& record);

// Whether everything in `folder` and below is what `record` names (its
// files and folders below the destination), or the log and the record
// themselves. A link, or anything that cannot be listed, is not.
bool HoldsOnlyRecorded(const char* folder, const InstallRecord& record);

#endif
