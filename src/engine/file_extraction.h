// The file loop of the install: every record of the file table placed in its
// destination with its bytes and time stamp, one progress step per record.
#ifndef VANTOREL_ENGINE_FILE_EXTRACTION_H
#define VANTOREL_ENGINE_FILE_EXTRACTION_H

#include <windows.h>

#include "package/file_table.h"

// `data` holds the files' bytes back to back in table order (checked to
// cover them all). True when every record was processed; false after a
// reported failure, or when the user confirmed Cancel (the progress dialog
// is then destroyed).
bool ExtractFiles(FileTable& files, const unsigned char* data, HWND progressDialog);

#endif
