// The last-write time of an installed file, from its record's time stamp.
#ifndef VANTOREL_ENGINE_FILE_TIMESTAMP_H
#define VANTOREL_ENGINE_FILE_TIMESTAMP_H

#include <windows.h>

#include "base/date_time.h"

// Sets only the last-write time of the file open as `file` (with write
// access); creation and last-access times stay. Set after the last write
// and before the handle is closed, it is the time the file keeps. The
// stamp's wall-clock fields are taken as universal time unless `fromLocal`
// is set. True when the time was set.
bool SetFileTimestamp(HANDLE file, DateTime& timestamp, bool fromLocal);

#endif
