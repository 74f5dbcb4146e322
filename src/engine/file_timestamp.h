// The last-write time of an installed file, from its record's time stamp.
#ifndef VANTOREL_ENGINE_FILE_TIMESTAMP_H
#define VANTOREL_ENGINE_FILE_TIMESTAMP_H

#include "base/date_time.h"

// Sets only the last-write time of the existing file `path` (creation and
// last-access times stay). The stamp's wall-clock fields are taken as
// universal time unless `fromLocal` is set. True when the time was set.
bool SetFileTimestamp(const char* path, DateTime& timestamp, bool fromLocal);

#endif
