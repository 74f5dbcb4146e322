#include "package/file_table.h"

#include <stdlib.h>

#include <new>

#include "package/block_reader.h"
#include "package/layout.h"

FileRecord::FileRecord()
    : FileSize(0),
      DestinationType(0),
      HasVersion(0),
      FileVersion{0, 0, 0, 0},
      ReplaceIfInUse(0),
      SelfRegister(0),
      SharedDll(0) {}

bool FileTable::Reserve(int capacity) {
  if (capacity <= capacity_) return true;
  if (static_cast<uint64_t>(capacity) * sizeof(FileRecord) > kLargestBlock) return false;
  FileRecord* records = static_cast<FileRecord*>(malloc(capacity * sizeof(FileRecord)));
  if (records == nullptr) return false;
  for (int i = 0; i < count_; ++i) {
    new (&records[i]) FileRecord(records_[i]);
    records_[i].~FileRecord();
  }
  free(records_);
  records_ = records;
  capacity_ = capacity;
  return true;
}

FileRecord* FileTable::Append() {
  if (count_ == capacity_ && !Reserve(capacity_ < 4 ? 4 : capacity_ * 2)) return nullptr;
  return new (&records_[count_++]) FileRecord();
}

void FileTable::Clear() {
  for (int i = 0; i < count_; ++i) records_[i].~FileRecord();
  free(records_);
  records_ = nullptr;
  count_ = capacity_ = 0;
}

namespace {

bool ReadFileVersion(PackageInput& input, uint16_t (&version)[4]) {
  unsigned char bytes[layout::kFileVersionSize];
  if (!ReadPackageBytes(input, bytes, sizeof(bytes))) return false;
  for (int i = 0; i < 4; ++i) {
    version[i] = LoadU16(bytes + 2 * i);
  }
  return true;
}

bool ReadFileRecord(PackageInput& input, FileRecord* record) {
  unsigned char timestamp[layout::kDateTimeImageSize];
  if (!ReadPackageU32(input, &record->FileSize) || !ReadPackageText(input, &record->FileName) ||
      !ReadPackageU32(input, &record->DestinationType) ||
      !ReadPackageText(input, &record->SubDirectory) ||
      !ReadPackageBytes(input, timestamp, sizeof(timestamp)) ||
      !ReadPackageU32(input, &record->HasVersion)) {
    return false;
  }
  record->FileTimestamp = DateTime(timestamp);
  if (record->HasVersion == layout::kHasVersionPresent &&
      !ReadFileVersion(input, record->FileVersion)) {
    return false;
  }
  return ReadPackageU32(input, &record->ReplaceIfInUse) &&
         ReadPackageU32(input, &record->SelfRegister) && ReadPackageU32(input, &record->SharedDll);
}

}  // namespace

bool ReadFileTable(PackageInput& input, FileTable* table) {
  uint32_t stored;
  if (!ReadPackageU32(input, &stored)) return false;
  int32_t count = static_cast<int32_t>(stored);
  if (count <= 0) return true;
  int capacity = count < 4 ? 4 : count;
  if (static_cast<uint64_t>(capacity) * sizeof(FileRecord) > kLargestBlock) {
    ReportOutOfMemory(input);
    return false;
  }
  if (static_cast<uint64_t>(count) * layout::kMinFileRecordSize > PackageBytesLeft(input)) {
    ReportReadFailure(input);
    return false;
  }
  if (!table->Reserve(capacity)) {
    ReportOutOfMemory(input);
    return false;
  }
  for (int32_t i = 0; i < count; ++i) {
    FileRecord* record = table->Append();
    if (record == nullptr) {
      ReportOutOfMemory(input);
      return false;
    }
    if (!ReadFileRecord(input, record)) return false;
  }
  return true;
}

bool CheckFilesFitData(const PackageInput& input, const FileTable& table, uint32_t producedLength) {
  uint64_t total = 0;  // at most 2^31 sizes below 2^32: cannot overflow
  for (int i = 0; i < table.Count(); ++i) total += table[i].FileSize;
  if (total > producedLength) {
    ReportUncompressFailure(input);
    return false;
  }
  return true;
}

namespace {

// The reader's room: one buffer, whose bytes go to the sink after each step.
class PassingRoom final : public BlockRoom {
 public:
  explicit PassingRoom(FileDataSink& sink) : sink_(sink) {}
  bool Allocate() { return buffer_.Allocate(kFileDataBuffer); }
  unsigned char* Room(uint32_t start, uint32_t* size) override {
    start_ = start;
    *size = kFileDataBuffer;
    return buffer_.Data();
  }
  // The bytes the last step added, up to `produced`.
  void Pass(uint64_t produced) {
    if (produced > passed_) {
      sink_.Take(buffer_.Data() + (passed_ - start_), static_cast<uint32_t>(produced - passed_));
      passed_ = produced;
    }
  }

 private:
  FileDataSink& sink_;
  BlockBuffer buffer_;
  uint64_t start_ = 0;   // the block offset of the buffer's first byte
  uint64_t passed_ = 0;  // bytes handed to the sink
};

}  // namespace

bool ReadFileData(PackageInput& input, const FileTable& table, FileDataSink& sink,
                  uint64_t* produced) {
  BlockReader reader;
  if (!reader.Begin(input)) return false;
  PassingRoom room(sink);
  if (!room.Allocate()) {
    ReportOutOfMemory(input);
    return false;
  }
  BlockReader::Outcome outcome;
  while ((outcome = reader.Step(room)) == BlockReader::kRunning) room.Pass(reader.Produced());
  if (outcome != BlockReader::kSucceeded) {
    ReportBlockFailure(input, outcome);
    return false;
  }
  *produced = reader.Produced();
  return CheckFilesFitData(input, table, static_cast<uint32_t>(*produced));
}
