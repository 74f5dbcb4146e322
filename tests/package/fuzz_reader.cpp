// Fuzz target of the package reader: any bytes as a setup file, read front to
// back as the setup program reads them, under AddressSanitizer and
// UndefinedBehaviorSanitizer. Besides not crashing, the reader must keep its
// promises: one message for a failure and none for success, texts bounded,
// every file inside the data that the file block produced.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "base/messages.h"
#include "package/memory_package_file.h"
#include "package/whole_package.h"

namespace {

int boxesShown = 0;
volatile size_t touchedSum;  // keeps the touches from being optimised away
unsigned lastMessage = 0;

int CountBox(const MessageBoxRequest& request) {
  ++boxesShown;
  lastMessage = request.id;
  return kAnswerOk;
}

void Require(bool condition) {
  if (!condition) abort();
}

// Touches every byte of each text so that the sanitizer sees any overrun.
size_t Touch(const SharedString& text) { return strlen(text.Text()) + (text.Length() & 1); }

class RegistryToucher final : public RegistryRecordSink {
 public:
  void BeginKey(layout::RegistryRoot root, const SharedString& keyPath) override {
    Require(root >= 0 && root < layout::kRegistryRootCount);
    Require(!open_);
    open_ = true;
    sum_ += Touch(keyPath);
  }
  void Value(uint32_t type, const SharedString& text) override {
    Require(open_);
    sum_ += type + Touch(text);
  }
  void EndKey() override {
    Require(open_);
    open_ = false;
  }
  size_t sum_ = 0;

 private:
  bool open_ = false;
};

class AssociationToucher final : public AssociationSink {
 public:
  void Association(const AssociationRecord& r) override {
    sum_ += Touch(r.Extension) + Touch(r.ClassName) + Touch(r.Description) + Touch(r.ProgramPath) +
            Touch(r.IconPath);
  }
  size_t sum_ = 0;
};

// The file data as the engine's file loop would write it: every byte read.
class FileDataToucher final : public FileDataSink {
 public:
  void Take(const unsigned char* bytes, uint32_t count) override {
    for (uint32_t b = 0; b < count; ++b) sum_ += bytes[b];
  }
  size_t sum_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SetMessageBoxHandler(CountBox);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  boxesShown = 0;
  MemoryPackageFile file(data, size);
  PackageInput input{&file, "C:\\Fuzz\\Setup.exe", "Fuzz Setup"};
  PackageContents contents;
  RegistryToucher registry;
  AssociationToucher associations;
  FileDataToucher fileData;
  bool read = ReadWholePackage(input, &contents, registry, associations, fileData);

  if (!read) {
    Require(boxesShown == 1);
    Require(lastMessage == IDS_READ_FILE || lastMessage == IDS_OUT_OF_MEMORY ||
            lastMessage == IDS_UNCOMPRESS);
    return 0;
  }
  Require(boxesShown == 0);
  Require(strlen(contents.Header.AppName) <= layout::kMaxTextLength);
  Require(strlen(contents.Header.ProgramFileName) <= layout::kMaxTextLength);
  Require(contents.EndOffset + layout::kTrailerSize <= size);
  // The engine's file loop: file i starts where the ones before it end.
  uint64_t offset = 0;
  uint32_t checksum = 0;
  for (int i = 0; i < contents.Files.Count(); ++i) {
    const FileRecord& record = contents.Files[i];
    Require(offset + record.FileSize <= contents.FileDataLength);
    offset += record.FileSize;
    checksum += static_cast<uint32_t>(Touch(record.FileName) + Touch(record.SubDirectory));
  }
  for (uint32_t b = 0; b < contents.Uninstaller.Length(); ++b) {
    checksum += contents.Uninstaller.Data()[b];
  }
  touchedSum = checksum + registry.sum_ + associations.sum_ + fileData.sum_;
  return 0;
}
