// The vendor's icon in the setup program's image, read back from the
// written setup file by a reader of its own: the resources hold exactly the
// icon file's images under the first icon group, and the headers, sections
// and checksum agree with the new image. A program with an icon of its own
// (fixtures/with_icon.rc, built by MinGW as the setup program is) stands in
// for the setup program, PE32 and PE32+.
#include <gtest/gtest.h>

#include "base/little_endian.h"
#include "packer/file_io.h"
#include "vtpack_runner.h"

using namespace packer_test;

namespace {

struct Section {
  std::uint32_t virtualSize, address, rawSize, rawOffset;
};

struct Image {
  const packer::Bytes& bytes;
  std::size_t optional = 0;
  std::vector<Section> sections;

  explicit Image(const packer::Bytes& b) : bytes(b) {
    std::size_t pe = LoadU32(&b[0x3C]);
    optional = pe + 24;
    std::size_t table = optional + LoadU16(&b[pe + 20]);
    for (std::size_t i = 0; i < LoadU16(&b[pe + 6]); ++i) {
      const std::uint8_t* s = &b[table + 40 * i];
      sections.push_back({LoadU32(s + 8), LoadU32(s + 12), LoadU32(s + 16), LoadU32(s + 20)});
    }
  }
  std::uint32_t Field(std::size_t offset) const { return LoadU32(&bytes[optional + offset]); }
  std::uint32_t Directory(int index, int part) const {
    return Field((LoadU16(&bytes[optional]) == 0x20B ? 112 : 96) + 8 * index + 4 * part);
  }
  const std::uint8_t* At(std::uint32_t rva) const {
    for (const Section& s : sections)
      if (rva >= s.address && rva < s.address + s.rawSize)
        return &bytes[s.rawOffset + rva - s.address];
    ADD_FAILURE() << "RVA " << rva << " in no section";
    return bytes.data();
  }
  // The bytes of resource type/name (0: the first name), first language.
  packer::Bytes Resource(std::uint32_t type, std::uint32_t name) const {
    const std::uint8_t* root = At(Directory(2, 0));
    auto find = [&](const std::uint8_t* table, std::uint32_t id) -> const std::uint8_t* {
      std::size_t count = LoadU16(table + 12) + LoadU16(table + 14);
      for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = table + 16 + 8 * i;
        if (id == 0 || LoadU32(entry) == id) return root + (LoadU32(entry + 4) & 0x7FFFFFFF);
      }
      return nullptr;
    };
    const std::uint8_t* names = find(root, type);
    const std::uint8_t* languages = names ? find(names, name) : nullptr;
    const std::uint8_t* data = languages ? find(languages, 0) : nullptr;
    if (data == nullptr) return {};
    const std::uint8_t* start = At(LoadU32(data));
    return packer::Bytes(start, start + LoadU32(data + 4));
  }
};

packer::Bytes MakeIcon(const ProjectFolder& folder, const std::string& name,
                       const std::vector<std::string>& sizes) {
  std::vector<std::string> args = {MAKE_ICON, folder.Path(name), "7"};
  args.insert(args.end(), sizes.begin(), sizes.end());
  EXPECT_EQ(RunVtpack(args, {}, PYTHON).exitCode, 0);
  return folder.Read(name);
}

// The icon file's entries and images, as the group and RT_ICON resources
// must carry them.
void ExpectIconIs(const Image& image, const packer::Bytes& ico) {
  packer::Bytes group = image.Resource(14, 0);
  ASSERT_GE(group.size(), 6u);
  std::size_t count = LoadU16(&ico[4]);
  ASSERT_EQ(LoadU16(&group[4]), count);
  ASSERT_EQ(group.size(), 6 + 14 * count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* file = &ico[6 + 16 * i];
    const std::uint8_t* resource = &group[6 + 14 * i];
    EXPECT_TRUE(std::equal(file, file + 12, resource)) << "entry " << i;
    packer::Bytes data = image.Resource(3, LoadU16(resource + 12));
    EXPECT_EQ(data,
              packer::Bytes(&ico[LoadU32(file + 12)], &ico[LoadU32(file + 12)] + LoadU32(file + 8)))
        << i;
  }
}

// What makes the image a valid PE: sections in order at aligned places,
// none overlapping, SizeOfImage, the resource and relocation directories
// and the checksum (over the whole setup file) agreeing with them; every
// other section keeps its bytes.
void ExpectValidPe(const Image& image, const Image& stub) {
  std::uint32_t sectionAlignment = image.Field(32), fileAlignment = image.Field(36);
  ASSERT_EQ(image.sections.size(), stub.sections.size());
  for (std::size_t i = 0; i < image.sections.size(); ++i) {
    const Section& s = image.sections[i];
    EXPECT_EQ(s.address % sectionAlignment, 0u) << i;
    EXPECT_EQ(s.rawOffset % fileAlignment, 0u) << i;
    if (i + 1 < image.sections.size()) {
      const Section& next = image.sections[i + 1];
      EXPECT_LE(s.address + std::max(s.virtualSize, s.rawSize), next.address) << i;
      if (next.rawSize) {
        EXPECT_LE(s.rawOffset + s.rawSize, next.rawOffset) << i;
      }
    }
    if (s.address == image.Directory(2, 0)) {
      EXPECT_EQ(image.Directory(2, 1), s.virtualSize);
      EXPECT_EQ(s.rawSize % fileAlignment, 0u);
      continue;
    }
    const Section& old = stub.sections[i];
    EXPECT_EQ(s.virtualSize, old.virtualSize) << i;
    EXPECT_TRUE(std::equal(&image.bytes[s.rawOffset], &image.bytes[s.rawOffset] + s.rawSize,
                           &stub.bytes[old.rawOffset]))
        << "section " << i << " changed";
  }
  const Section& last = image.sections.back();
  EXPECT_EQ(image.Field(56), (last.address + last.virtualSize + sectionAlignment - 1) /
                                 sectionAlignment * sectionAlignment);
  EXPECT_EQ(image.Directory(5, 0), last.address);  // the relocations moved with their section
  EXPECT_EQ(image.Directory(5, 1), stub.Directory(5, 1));
  // The linker's checksum of the stub vouches for the test's own.
  EXPECT_EQ(stub.Field(64), FileChecksum(stub.bytes, stub.optional + 64));
  EXPECT_EQ(image.Field(64), FileChecksum(image.bytes, image.optional + 64));
}

}  // namespace

TEST(Icon, ReplacesTheSetupProgramsOwnAndKeepsAValidImage) {
  const struct {
    const char* stub;
    std::vector<std::string> sizes;
    const char* architecture;
  } rows[] = {
      // the resources grow: .reloc moves
      {"with_icon-i686.exe", {"16", "32", "48", "png:256"}, "x86"},
      {"with_icon-x86_64.exe", {"48", "16"}, "x64"},
      {"with_icon-i686.exe", {"png:16"}, "x86"},  // smaller than the program's own
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.stub);
    ProjectFolder folder;
    packer::Bytes ico = MakeIcon(folder, "vendor.ico", row.sizes);
    folder.Write("project.toml", MinimalProject("icon = \"vendor.ico\"\narchitecture = \"" +
                                                std::string(row.architecture) + "\"\n"));
    std::string stub = std::string(PACKER_FIXTURES) + "/" + row.stub;
    RunResult run = BuildIn(folder, "project.toml", "Setup.exe", {}, {}, nullptr, stub);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    packer::Bytes setup = folder.Read("Setup.exe"), original = packer::ReadFileBytes(stub).value();
    Image image(setup), before(original);
    ExpectIconIs(image, ico);
    ExpectValidPe(image, before);
    EXPECT_EQ(image.Resource(6, 1), before.Resource(6, 1));  // the string table stays
    RunResult verify = RunVtpack({"verify", folder.Path("Setup.exe")});
    EXPECT_EQ(verify.exitCode, 0) << verify.err;
    ASSERT_EQ(BuildIn(folder, "project.toml", "Again.exe", {}, {}, nullptr, stub).exitCode, 0);
    EXPECT_EQ(folder.Read("Again.exe"), setup);
  }
}
