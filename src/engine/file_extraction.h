// The file loop of the install: every record of the file table placed in its
// destination with its bytes and time stamp, one progress step per record.
#ifndef VANTOREL_ENGINE_FILE_EXTRACTION_H
#define VANTOREL_ENGINE_FILE_EXTRACTION_H

#include <windows.h>

#include "engine/file_data_stream.h"
#include "package/file_table.h"

// `data` produces the files' bytes back to back in table order; each file
// waits for its own (see FileDataStream). True when every record was processed; false after a
// reported failure, or when the user confirmed Cancel (the progress dialog
// is then destroyed).
bool ExtractFiles(FileTable& files, FileDataStream& data, HWND progressDialog);

#endif
