// The file loop of the install: every record of the file table placed in its
// destination with its bytes and time stamp, one progress step per record.
#ifndef VANTOREL_ENGINE_FILE_EXTRACTION_H
#define VANTOREL_ENGINE_FILE_EXTRACTION_H

#include "engine/created_items.h"
#include "engine/file_data_stream.h"
#include "engine/written_files.h"
#include "package/file_table.h"
#include "state/install_progress.h"

// `data` produces the files' bytes back to back in table order; each file
// is written as its bytes come out, and what it wrote is noted in
// `written`, which finishes the files once the whole data has passed its
// check. Files and folders that did not exist before are listed in
// `created`. True when every record was processed; false after a reported
// failure, or when the user confirmed Cancel (the progress is then closed).
bool ExtractFiles(FileTable& files, FileDataStream& data, InstallProgress& progress,
                  CreatedItems& created, WrittenFiles& written);

#endif
