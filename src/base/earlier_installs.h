// The installs of an application before this one, as setup finds them: the
// application's Uninstall entry names the last one's log, and keeps the
// digest of the record beside it; each record names the installs before it
// in other folders, with the digests of their records ("earlier" lines,
// base/install_record_text.h). Only what that chain of digests vouches for
// is taken.
#ifndef VANTOREL_BASE_EARLIER_INSTALLS_H
#define VANTOREL_BASE_EARLIER_INSTALLS_H

#include "base/install_record_text.h"

// Adds to `record` what the earlier installs of `appName` leave to an
// install into `folder`, so that one uninstall removes them all: the
// record that the chain vouches for in `folder` merged into it, and the
// last install elsewhere named by an "earlier" line, whether its folder is
// still there or not (it stays in the chain). False when a record that the
// chain names in `folder` is there but not as setup wrote it: writing over
// it would orphan what it names. An entry without digests (another setup
// program's) vouches for nothing. What an install that stopped before
// its end made (base/install_journal.h) is added too, unless the record
// it was putting in place is there and holds it.
bool AddEarlierInstalls(const char* appName, const char* folder, InstallRecord& record);

#endif
