// Writes install packages for the reader's tests, byte by byte with zlib's
// compress, independent of vtpack: a test states the package it wants, or
// writes odd bytes of its own where the layout should be.
#ifndef VANTOREL_TESTS_SUPPORT_TEST_PACKAGE_WRITER_H
#define VANTOREL_TESTS_SUPPORT_TEST_PACKAGE_WRITER_H

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testpkg {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const std::string& text);
Bytes Deflate(const Bytes& data, int level = 9);
// What a zlib stream of `size` bytes' data inflates to: an empty result or
// one of another size when the stream is wrong.
Bytes Inflate(const Bytes& stream, std::size_t size);

enum class Form { kCompressed, kStored };

struct TestFile {
  std::string name = "app.exe";
  std::uint32_t destinationType = 0;
  std::string subDirectory;
  Bytes contents;
  // FileSize as written; empty: the size of `contents`.
  std::optional<std::uint32_t> declaredSize;
  std::array<std::uint8_t, 44> timestamp{};
  std::uint32_t hasVersion = 0;
  std::array<std::uint16_t, 4> version{};  // written only when hasVersion == 1
  std::uint32_t replaceIfInUse = 0;
  std::uint32_t selfRegister = 0;
  std::uint32_t sharedDll = 0;
};

struct TestValue {
  std::uint32_t type;
  std::string text;  // "name=data"
};

struct TestKey {
  std::string path;
  std::vector<TestValue> values;
};

struct TestAssociation {
  std::string extension, className, description, programPath, iconPath;
  std::int32_t iconIndex = 0;
};

struct TestPackage {
  std::string appName = "Demo";
  std::string appVersion = "1.0";
  std::uint8_t showDestinationPage = 1, showShortcutsPage = 1, showWelcomePage = 1;
  std::uint8_t runProgramAtEnd = 0, checkProgramNotRunning = 1;
  std::string programWindowClass = "DemoWindow";
  std::string programFileName = "demo.exe";
  bool hasLicence = false;
  std::string licence;  // written with its NUL
  Form licenceForm = Form::kCompressed;
  Bytes uninstaller = ToBytes("MZ uninstaller image");
  std::vector<TestFile> files;
  Form fileDataForm = Form::kCompressed;
  std::array<std::vector<TestKey>, 4> registry;
  std::vector<TestAssociation> associations;
};

// Appends package fields, little-endian. Starts with a stand-in for the
// setup program's own image, so the package never begins at offset 0.
class TestWriter {
 public:
  TestWriter();

  void U8(std::uint8_t value) { bytes_.push_back(value); }
  void U16(std::uint16_t value);
  void U32(std::uint32_t value);
  void Text(const std::string& text);  // and its NUL
  void Raw(const Bytes& data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }

  // The 130-byte header; marks where the package starts.
  void Header(const TestPackage& package);
  // Header from a raw image (its size is the test's business).
  void HeaderImage(const Bytes& image);
  void Block(std::uint32_t compressedSize, std::uint32_t uncompressedSize, const Bytes& payload);
  void StoredBlock(const Bytes& data, Form form);
  void File(const TestFile& file);
  void Registry(const std::array<std::vector<TestKey>, 4>& registry);
  void Associations(const std::vector<TestAssociation>& associations);

  std::uint32_t HeaderOffset() const { return headerOffset_; }
  std::size_t Size() const { return bytes_.size(); }
  // The bytes with the trailer (the header's offset) appended.
  Bytes Finish() const;

 private:
  Bytes bytes_;
  std::uint32_t headerOffset_ = 0;
};

// The whole package as the packer would write it.
Bytes BuildPackage(const TestPackage& package);

// `image` followed by a package built above (its own stand-in image
// dropped), the trailer pointing behind `image`.
Bytes SetupFileWith(Bytes image, const Bytes& package);
// Signs a setup file whose image is support::StandInImage(..., pe32Plus) as
// Authenticode tools do: `padding` zero bytes, then a certificate table of
// `tableSize` bytes (a multiple of 8), named by the security entry.
Bytes Signed(Bytes setup, std::size_t padding, std::uint32_t tableSize = 1024,
             bool pe32Plus = false);
// The package's bytes before its trailer, cut after `length` bytes, with
// the trailer appended again: the setup file of an interrupted download.
Bytes CutPackage(const Bytes& package, std::size_t length);
// A package with a bit of everything: licence, files in sub-directories,
// versions, registry keys in every root, associations; its licence and file
// data blocks in the form given.
TestPackage RichPackage(Form blocks = Form::kCompressed);

}  // namespace testpkg

#endif
