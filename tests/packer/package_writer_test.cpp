// The package bytes at the offsets the layout gives, field by field.
#include "packer/setup_file/package_writer.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "base/little_endian.h"

using namespace packer;

namespace {

// The setup file in memory.
class MemorySink final : public OutputSink {
 public:
  Check Append(const std::uint8_t* bytes, std::size_t size) override {
    data.insert(data.end(), bytes, bytes + size);
    return std::nullopt;
  }
  Check WriteAt(std::uint64_t offset, const std::uint8_t* bytes, std::size_t size) override {
    std::memcpy(&data[offset], bytes, size);
    return std::nullopt;
  }
  Check Truncate(std::uint64_t size) override {
    data.resize(size);
    return std::nullopt;
  }
  std::uint64_t Size() const override { return data.size(); }
  Bytes data;
};

// The package of a setup file with an empty program image: from the
// header to the trailer, which is dropped.
Bytes WritePackage(const PackageParts& parts) {
  MemorySink sink;
  auto size = WriteSetupFile({}, parts, Compression::kDefault, sink);
  EXPECT_TRUE(size.ok());
  EXPECT_EQ(sink.data.size() % 8, 0u);
  std::uint32_t headerOffset = LoadU32(&sink.data[sink.data.size() - 4]);
  return Bytes(sink.data.begin() + headerOffset, sink.data.end() - 4);
}

std::string TextAt(const Bytes& b, std::size_t offset) {
  return reinterpret_cast<const char*>(&b[offset]);
}

PackageParts Sample() {
  PackageParts parts;
  Application& app = parts.settings.application;
  app.name = "App";
  app.version = "1.0";
  app.programFile = "app.exe";
  app.windowClass = "AppWindow";
  parts.settings.options.showWelcomePage = false;
  parts.settings.options.runProgramAtEnd = true;
  parts.uninstaller = {'M', 'Z', 1, 2, 3};
  return parts;
}

}  // namespace

TEST(PackageWriter, FileRecordFieldsInOrder) {
  PackageParts parts = Sample();
  PackedFile file;
  file.fileName = "a.dll";
  file.placement.destination = layout::kDestinationSystem;
  file.placement.subDirectory = "Sub\\";
  file.modified = 0;
  file.version = FileVersion{6, 0, 84, 18};
  file.placement.selfRegister = true;
  file.size = 2;
  file.source = (std::filesystem::temp_directory_path() / "vantorel-xy.bin").string();
  std::FILE* source = std::fopen(file.source.c_str(), "wb");
  ASSERT_NE(source, nullptr);
  std::fputs("xy", source);
  std::fclose(source);
  parts.sources.push_back({"files[1].source", 3});
  parts.files.push_back(file);
  Bytes p = WritePackage(parts);
  std::filesystem::remove(file.source);
  std::size_t d2 =
      layout::kHeaderSize + layout::kStoredBlockFramingSize + LoadU32(&p[layout::kHeaderSize]);
  EXPECT_EQ(LoadU32(&p[d2]), 1u);  // N
  std::size_t r = d2 + 4;
  EXPECT_EQ(LoadU32(&p[r]), 2u);  // FileSize
  EXPECT_EQ(TextAt(p, r + 4), "a.dll");
  EXPECT_EQ(LoadU32(&p[r + 10]), 2u);  // DestinationType
  EXPECT_EQ(TextAt(p, r + 14), "Sub\\");
  std::size_t after = r + 19 + layout::kDateTimeImageSize;
  EXPECT_EQ(LoadU32(&p[after]), 1u);  // HasVersion
  const std::uint8_t version[] = {6, 0, 0, 0, 0x54, 0, 0x12, 0};
  EXPECT_EQ(std::memcmp(&p[after + 4], version, 8), 0);
  EXPECT_EQ(LoadU32(&p[after + 12]), 0u);  // ReplaceIfInUse
  EXPECT_EQ(LoadU32(&p[after + 16]), 1u);  // SelfRegister
  EXPECT_EQ(LoadU32(&p[after + 20]), 0u);  // SharedDll
  std::size_t d3 = after + 24;
  EXPECT_EQ(LoadU32(&p[d3]), 0u);  // stored: two bytes
  EXPECT_EQ(LoadU32(&p[d3 + 4]), 2u);
  EXPECT_EQ(p[d3 + 8], 'x');
  EXPECT_EQ(p.size(), d3 + 10 + 5 * 4);  // four empty registry sections, no associations
}
