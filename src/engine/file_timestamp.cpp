#include "engine/file_timestamp.h"

bool SetFileTimestamp(HANDLE file, DateTime& timestamp, bool fromLocal) {
  FILETIME lastWrite;
  if (!timestamp.ToFileTime(fromLocal, &lastWrite)) return false;
  return SetFileTime(file, nullptr, nullptr, &lastWrite) != FALSE;
}
