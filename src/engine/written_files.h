// What the file loop wrote, kept until the file data has passed its check:
// only then is a file final. A file that replaces an installed one waits as
// a staging file beside it until then, and whatever acts on installed code
// (registering it, counting it as shared, scheduling a file in use for the
// next start) waits too. So the loop never waits for the check, and the
// memory it needs for the data stays within its budget.
#ifndef VANTOREL_ENGINE_WRITTEN_FILES_H
#define VANTOREL_ENGINE_WRITTEN_FILES_H

#include <stdint.h>

#include "engine/created_items.h"
#include "engine/install_target.h"
#include "package/file_table.h"

class WrittenFiles {
 public:
  WrittenFiles() = default;
  ~WrittenFiles();
  WrittenFiles(const WrittenFiles&) = delete;
  WrittenFiles& operator=(const WrittenFiles&) = delete;

  // Room for the records of `files`, none written yet; false when memory
  // is short. The table outlives this object.
  bool Reserve(const FileTable& files);
  // Record `index` has its bytes and time stamp in `target`.
  void Add(int index, const InstallTarget& target);
  // The record written last to `path` by this run, or -1; `redirected`
  // tells whether its bytes went to the ".new" file. A path that the table
  // names twice is installed as if each record were written at its turn:
  // the later record finds the earlier one's file there.
  int LastWriterOf(const char* path, bool* redirected) const;

  // Once the data has passed its check, in table order: each staging file
  // takes the place of the file it replaces, which moves aside until the
  // end, both through their handles. When one cannot be put in place,
  // IDS_OPEN_FILE names it and the install is undone as for damaged data:
  // the files moved aside come back, the staging files go, and so does
  // what `created` lists; false. Otherwise every file is noted
  // (NoteInstalledFile).
  bool Place(CreatedItems& created);
  // After Place: the shared counts raised (RaiseCountOf), before the
  // uninstall log and record are written, so that they record the raises
  // made.
  void RaiseSharedCounts();
  // After Place: every file is finished (FinishInstalledFile), and the
  // files moved aside are deleted.
  void Finish();
  // After Place, instead of Finish: every file placed goes, the files moved
  // aside come back, and so does what `created` lists.
  void Undo(CreatedItems& created);
  // Place, RaiseSharedCounts, then Finish.
  bool Complete(CreatedItems& created);
  // The data failed its check: every staging file is deleted, so the files
  // they were to replace keep their bytes.
  void Discard();

 private:
  enum : uint8_t { kWritten = 1, kExisted = 2, kRedirected = 4, kStaged = 8 };
  struct Entry {
    unsigned hash;   // of the path, for LastWriterOf
    HANDLE staging;  // the staging file, open until it is in place
    Placement placement;
    uint8_t flags;
  };
  // The target as the loop had it; false for a record it did not write.
  bool TargetOf(int index, InstallTarget& target) const;
  // The slot of `path` in the index of written paths: the one that holds
  // it, or the empty one where it goes.
  unsigned SlotOf(const char* path, unsigned hash) const;
  // Puts back what Place did before record `failed`.
  void UndoPlacements(int failed);

  const FileTable* files_ = nullptr;
  Entry* entries_ = nullptr;
  int count_ = 0;
  // Open addressing: record index + 1 per slot, 0 for an empty one; at
  // least twice as many slots as records, a power of two.
  int* slots_ = nullptr;
  unsigned slotMask_ = 0;
};

#endif
