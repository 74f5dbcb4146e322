// The file table (D2) as the install engine keeps it, and the check that
// the file data (D3) holds every file it lists.
//
// In memory each file is a FileRecord; the table is a plain heap array,
// reserved for max(N, 4) records. N comes from the package: a table too
// large for one buffer is refused with IDS_OUT_OF_MEMORY before anything is
// allocated, one that the package is too short to hold (every serialised
// record takes at least 70 bytes) with IDS_READ_FILE.
#ifndef VANTOREL_PACKAGE_FILE_TABLE_H
#define VANTOREL_PACKAGE_FILE_TABLE_H

#include <stdint.h>

#include "base/date_time.h"
#include "base/shared_string.h"
#include "package/package_input.h"
#include "package/stored_block.h"

struct FileRecord {
  uint32_t FileSize;
  SharedString FileName;
  uint32_t DestinationType;   // layout::DestinationType, 0 to 5
  SharedString SubDirectory;  // empty or ending in "\"
  uint32_t HasVersion;        // FileVersion means something only when 1
  uint16_t FileVersion[4];    // major, minor, build, revision
  uint32_t ReplaceIfInUse;
  uint32_t SelfRegister;
  uint32_t SharedDll;
  DateTime FileTimestamp;

  FileRecord();
};

class FileTable {
 public:
  FileTable() = default;
  ~FileTable() { Clear(); }
  FileTable(const FileTable&) = delete;
  FileTable& operator=(const FileTable&) = delete;

  int Count() const { return count_; }
  FileRecord& operator[](int index) { return records_[index]; }
  const FileRecord& operator[](int index) const { return records_[index]; }

  // Room for `capacity` records; false when memory is short or the array
  // would exceed kLargestBlock.
  bool Reserve(int capacity);
  // A new empty record at the end, growing the array when it is full; null
  // when memory is short.
  FileRecord* Append();
  void Clear();

 private:
  FileRecord* records_ = nullptr;
  int count_ = 0;
  int capacity_ = 0;
};

// Reads the file count and the records from the current position into an
// empty table. A count of 0 or below leaves it empty.
bool ReadFileTable(PackageInput& input, FileTable* table);

// Where ReadFileData hands the file data, in order, a buffer at a time.
class FileDataSink {
 public:
  virtual void Take(const unsigned char* bytes, uint32_t count) = 0;

 protected:
  ~FileDataSink() = default;
};

// The file data block, then the check that the files fit into what it
// produced: file i starts where the sizes before it end, and the last must
// end within the produced bytes (otherwise IDS_UNCOMPRESS). A stream that stops
// short but still covers every file is accepted. The bytes pass through a
// buffer of kFileDataBuffer bytes whatever the block's size; `produced`
// gets their count.
const uint32_t kFileDataBuffer = 1024 * 1024;
bool ReadFileData(PackageInput& input, const FileTable& table, FileDataSink& sink,
                  uint64_t* produced);
bool CheckFilesFitData(const PackageInput& input, const FileTable& table, uint32_t producedLength);

#endif
