// Whose folder a destination is: setup installs one application per
// folder, because the names of the uninstall log and the install record
// are fixed ("Uninst.log", "Uninst.rec"), and a second application's would
// take the first one's place.
#ifndef VANTOREL_BASE_FOLDER_OWNER_H
#define VANTOREL_BASE_FOLDER_OWNER_H

// Whether `folder` holds the uninstall log or the install record of an
// application other than `appName`: a log whose first line, or a record
// whose second line, is another name (case aside, as Uninstall entries
// are named). A file of either name that is of another form (a damaged
// log) is no application's.
bool HoldsAnotherApplication(const char* folder, const char* appName);

#endif
