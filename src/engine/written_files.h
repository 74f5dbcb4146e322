// What the file loop wrote, kept until the file data has passed its check:
// only then is a file final. A file that replaces an installed one waits as
// a staging file beside it until then, and whatever acts on installed code
// (registering it, counting it as shared, scheduling a file in use for the
// next start) waits too. So the loop never waits for the check, and the
// memory it needs for the data stays within its budget.
#ifndef VANTOREL_ENGINE_WRITTEN_FILES_H
#define VANTOREL_ENGINE_WRITTEN_FILES_H

#include <stdint.h>

#include "engine/install_target.h"
#include "package/file_table.h"

class WrittenFiles {
 public:
  WrittenFiles() = default;
  ~WrittenFiles();
  WrittenFiles(const WrittenFiles&) = delete;
  WrittenFiles& operator=(const WrittenFiles&) = delete;

  // Room for a table of `count` records, none written yet; false when
  // memory is short.
  bool Reserve(int count);
  // Record `index` has its bytes and time stamp in `target`.
  void Add(int index, const InstallTarget& target);

  // Once the data has passed its check, for every file written, in table
  // order: a staging file takes the place of the file it replaces, then
  // the file is finished (FinishInstalledFile). False after IDS_OPEN_FILE for
  // a file that could not be put in place; the staging files after it are
  // deleted and nothing more is done.
  bool Complete(const FileTable& files);
  // The data failed its check: every staging file is deleted, so the files
  // they were to replace keep their bytes.
  void Discard(const FileTable& files);

 private:
  enum : uint8_t { kWritten = 1, kExisted = 2, kRedirected = 4, kStaged = 8 };
  struct Entry {
    uint16_t staging;
    uint8_t flags;
  };
  // The target as the loop had it; false for a record it did not write.
  bool TargetOf(const FileTable& files, int index, InstallTarget& target) const;

  Entry* entries_ = nullptr;
  int count_ = 0;
};

#endif
