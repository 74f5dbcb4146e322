#include "test_package_writer.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

#include "stand_in_image.h"

namespace testpkg {

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Deflate(const Bytes& data, int level) {
  uLongf size = compressBound(data.size());
  Bytes out(size);
  if (compress2(out.data(), &size, data.data(), data.size(), level) != Z_OK) {
    throw std::runtime_error("compress2 failed");
  }
  out.resize(size);
  return out;
}

Bytes Inflate(const Bytes& stream, std::size_t size) {
  Bytes out(size + 1);
  uLongf length = out.size();
  if (uncompress(out.data(), &length, stream.data(), stream.size()) != Z_OK) return {};
  out.resize(length);
  return out;
}

TestWriter::TestWriter() {
  Raw(ToBytes("MZ"));
  bytes_.resize(64, 0x90);  // the setup program's image stands here
}

void TestWriter::U16(std::uint16_t value) {
  U8(static_cast<std::uint8_t>(value));
  U8(static_cast<std::uint8_t>(value >> 8));
}

void TestWriter::U32(std::uint32_t value) {
  U16(static_cast<std::uint16_t>(value));
  U16(static_cast<std::uint16_t>(value >> 16));
}

void TestWriter::Text(const std::string& text) {
  Raw(ToBytes(text));
  U8(0);
}

namespace {

void PutField(Bytes& image, std::size_t offset, const std::string& text) {
  for (std::size_t i = 0; i < text.size() && i < 31; ++i) image[offset + i] = text[i];
}

}  // namespace

void TestWriter::Header(const TestPackage& package) {
  Bytes image(130, 0);
  PutField(image, 0, package.appName);
  PutField(image, 31, package.appVersion);
  image[62] = package.showDestinationPage;
  image[63] = package.showShortcutsPage;
  image[64] = package.hasLicence ? 1 : 0;
  image[65] = package.showWelcomePage;
  image[66] = package.runProgramAtEnd;
  image[67] = package.checkProgramNotRunning;
  PutField(image, 68, package.programWindowClass);
  PutField(image, 99, package.programFileName);
  HeaderImage(image);
}

void TestWriter::HeaderImage(const Bytes& image) {
  headerOffset_ = static_cast<std::uint32_t>(bytes_.size());
  Raw(image);
}

void TestWriter::Block(std::uint32_t compressedSize, std::uint32_t uncompressedSize,
                       const Bytes& payload) {
  U32(compressedSize);
  U32(uncompressedSize);
  Raw(payload);
}

void TestWriter::StoredBlock(const Bytes& data, Form form) {
  auto size = static_cast<std::uint32_t>(data.size());
  if (form == Form::kStored) {
    Block(0, size, data);
  } else {
    Bytes stream = Deflate(data);
    Block(static_cast<std::uint32_t>(stream.size()), size, stream);
  }
}

void TestWriter::File(const TestFile& file) {
  U32(file.declaredSize.value_or(static_cast<std::uint32_t>(file.contents.size())));
  Text(file.name);
  U32(file.destinationType);
  Text(file.subDirectory);
  Raw(Bytes(file.timestamp.begin(), file.timestamp.end()));
  U32(file.hasVersion);
  if (file.hasVersion == 1) {
    for (std::uint16_t part : file.version) U16(part);
  }
  U32(file.replaceIfInUse);
  U32(file.selfRegister);
  U32(file.sharedDll);
}

void TestWriter::Registry(const std::array<std::vector<TestKey>, 4>& registry) {
  for (const auto& keys : registry) {
    U32(static_cast<std::uint32_t>(keys.size()));
    for (const TestKey& key : keys) {
      Text(key.path);
      U32(static_cast<std::uint32_t>(key.values.size()));
      for (const TestValue& value : key.values) {
        U32(value.type);
        Text(value.text);
      }
    }
  }
}

void TestWriter::Associations(const std::vector<TestAssociation>& associations) {
  U32(static_cast<std::uint32_t>(associations.size()));
  for (const TestAssociation& a : associations) {
    Text(a.extension);
    Text(a.className);
    Text(a.description);
    Text(a.programPath);
    Text(a.iconPath);
    U32(static_cast<std::uint32_t>(a.iconIndex));
  }
}

Bytes TestWriter::Finish() const {
  TestWriter copy = *this;
  copy.U32(headerOffset_);
  return copy.bytes_;
}

Bytes BuildPackage(const TestPackage& package) {
  TestWriter out;
  out.Header(package);
  if (package.hasLicence) {
    Bytes text = ToBytes(package.licence);
    text.push_back(0);
    out.StoredBlock(text, package.licenceForm);
  }
  out.StoredBlock(package.uninstaller, Form::kCompressed);
  out.U32(static_cast<std::uint32_t>(package.files.size()));
  Bytes data;
  for (const TestFile& file : package.files) {
    out.File(file);
    data.insert(data.end(), file.contents.begin(), file.contents.end());
  }
  if (!package.files.empty()) out.StoredBlock(data, package.fileDataForm);
  out.Registry(package.registry);
  out.Associations(package.associations);
  return out.Finish();
}

namespace {

void Put(Bytes& bytes, std::size_t offset, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

Bytes SetupFileWith(Bytes image, const Bytes& package) {
  std::uint32_t from = package[package.size() - 4] | package[package.size() - 3] << 8 |
                       package[package.size() - 2] << 16 |
                       static_cast<std::uint32_t>(package[package.size() - 1]) << 24;
  std::uint32_t headerOffset = static_cast<std::uint32_t>(image.size());
  image.insert(image.end(), package.begin() + from, package.end() - 4);
  image.resize(image.size() + 4);
  Put(image, image.size() - 4, headerOffset, 4);
  return image;
}

Bytes Signed(Bytes setup, std::size_t padding, std::uint32_t tableSize, bool pe32Plus) {
  setup.resize(setup.size() + padding, 0);
  std::uint32_t table = static_cast<std::uint32_t>(setup.size());
  for (std::uint32_t i = 0; i < tableSize; ++i)
    setup.push_back(static_cast<std::uint8_t>(0x30 + i % 200));
  Put(setup, support::SecurityEntryOffset(pe32Plus), table, 4);
  Put(setup, support::SecurityEntryOffset(pe32Plus) + 4, tableSize, 4);
  return setup;
}

Bytes CutPackage(const Bytes& package, std::size_t length) {
  Bytes cut(package.begin(), package.begin() + static_cast<std::ptrdiff_t>(length));
  cut.insert(cut.end(), package.end() - 4, package.end());
  return cut;
}

TestPackage RichPackage(Form blocks) {
  TestPackage p;
  p.licenceForm = blocks;
  p.fileDataForm = blocks;
  p.appName = "Rich Demo";
  p.appVersion = "2.5";
  p.hasLicence = true;
  p.licence = "Licence line one.\r\nLine two.";

  TestFile program;
  program.name = "demo.exe";
  program.contents = ToBytes(std::string(300, 'x') + "program");
  program.hasVersion = 1;
  program.version = {6, 0, 84, 18};
  program.timestamp[0] = 0x2F;         // some seconds; stale 0, fields as stored
  program.timestamp[8 + 4 * 5] = 100;  // years since 1900
  TestFile readme;
  readme.name = "readme.txt";
  readme.subDirectory = "Docs\\";
  readme.contents = ToBytes("Read me.\r\n");
  readme.hasVersion = 2;
  TestFile library;
  library.name = "shared.dll";
  library.destinationType = 2;
  library.contents = ToBytes("MZ library");
  library.replaceIfInUse = 1;
  library.selfRegister = 1;
  library.sharedDll = 1;
  p.files = {program, readme, library};

  p.registry[0] = {{"DemoFile", {{1, "=Demo document"}}}};
  p.registry[1] = {{"Software\\Demo", {{1, "Path=<Destination>\\bin"}, {4, "Flag=1"}}},
                   {"Software\\Demo\\Empty", {}}};
  p.registry[2] = {{"Software\\Demo", {{1, "Installed=yes"}}}};
  p.registry[3] = {};
  p.associations = {{"dmo", "DemoFile", "Demo document", "<Destination>\\demo.exe",
                     "<Destination>\\demo.exe", 1}};
  return p;
}

}  // namespace testpkg
