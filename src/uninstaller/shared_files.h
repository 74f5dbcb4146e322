// Shared files: the usage counts under "SharedDLLs" that the install took,
// given back.
#ifndef VANTOREL_UNINSTALLER_SHARED_FILES_H
#define VANTOREL_UNINSTALLER_SHARED_FILES_H

class KeptFiles;
class LeftItems;
struct UninstallLog;

// Lowers the count of each shared file the log lists, once per line. A file
// that other programs still count is kept; at 0 the count goes, and the
// user decides whether the file goes too (Windows' convention). A file
// without a count, or whose count cannot be saved, is kept and is a line
// in `left`. Every kept file is added to `kept`.
void ReleaseSharedFiles(const UninstallLog& log, const char* caption, KeptFiles& kept,
                        LeftItems& left);

#endif
