// What the reader's tests share: a recorder in place of the message box, and
// sinks that write registry records and associations down as text lines.
#ifndef VANTOREL_TESTS_PACKAGE_READER_TEST_SUPPORT_H
#define VANTOREL_TESTS_PACKAGE_READER_TEST_SUPPORT_H

#include <string>
#include <vector>

#include "base/messages.h"
#include "box_recorder.h"
#include "package/association_section.h"
#include "package/memory_package_file.h"
#include "package/package_input.h"
#include "package/registry_section.h"
#include "package/whole_package.h"
#include "test_package_writer.h"

namespace testpkg {

// The setup executable's path and caption that every test's input names.
extern const char kSetupPath[];
extern const char kCaption[];

// Records every message box shown while it exists instead of showing it.
using MessageRecorder = support::BoxRecorder;
using support::RecordedBox;

// "Error reading from the file '<path>'."
std::string ReadErrorText(const char* path = kSetupPath);

// Package bytes with a memory file and an input over them.
struct MemoryPackage {
  explicit MemoryPackage(Bytes data);
  MemoryPackage(const MemoryPackage&) = delete;
  MemoryPackage& operator=(const MemoryPackage&) = delete;
  Bytes bytes;
  MemoryPackageFile file;
  PackageInput input;
};

class RegistryLines final : public RegistryRecordSink {
 public:
  void BeginKey(layout::RegistryRoot root, const SharedString& keyPath) override;
  void Value(uint32_t type, const SharedString& text) override;
  void EndKey() override;
  std::vector<std::string> lines;
};

class AssociationLines final : public AssociationSink {
 public:
  void Association(const AssociationRecord& record) override;
  std::vector<std::string> lines;
};

// The file data as it came, a buffer at a time.
class FileDataBytes final : public FileDataSink {
 public:
  void Take(const unsigned char* data, uint32_t count) override {
    bytes.insert(bytes.end(), data, data + count);
  }
  Bytes bytes;
};

// A whole package read front to back, its messages recorded and its
// sections written down.
struct WholeRead {
  bool ok = false;
  PackageContents contents;
  std::vector<RecordedBox> boxes;
  RegistryLines registry;
  AssociationLines associations;
  FileDataBytes fileData;
};
void ReadWhole(PackageFile& file, const char* path, WholeRead* read);
// From memory, named kSetupPath.
void ReadWhole(const Bytes& bytes, WholeRead* read);

// Checks that a package of `packageSize` bytes read back as `package` was
// written, without a message.
void ExpectReadAsWritten(const TestPackage& package, std::size_t packageSize,
                         const WholeRead& read);

// The lines the sinks write for a package's sections.
std::vector<std::string> ExpectedRegistryLines(const TestPackage& package);
std::vector<std::string> ExpectedAssociationLines(const TestPackage& package);

}  // namespace testpkg

#endif
