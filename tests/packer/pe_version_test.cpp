// Version resources of real executables made by the MinGW tools, and the
// same files cut short or damaged.
#include "packer/pe/pe_version.h"

#include <fstream>
#include <iterator>
#include <random>

#include <gtest/gtest.h>

using packer::FileVersion;
using packer::ReadPeFileVersion;

namespace {

std::vector<std::uint8_t> Fixture(const std::string& name) {
  std::ifstream in(std::string(PACKER_FIXTURES) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
}

}  // namespace

TEST(PeVersion, FixturesOfBothArchitectures) {
  const struct {
    const char* file;
    bool hasVersion;
  } table[] = {
      {"versioned-i686.exe", true},       {"versioned-x86_64.exe", true},
      {"other_resource-i686.exe", false}, {"other_resource-x86_64.exe", false},
      {"plain-i686.exe", false},          {"plain-x86_64.exe", false},
  };
  for (const auto& row : table) {
    std::vector<std::uint8_t> image = Fixture(row.file);
    auto version = ReadPeFileVersion(image.data(), image.size());
    ASSERT_EQ(version.has_value(), row.hasVersion) << row.file;
    // The file version, not the product version (9.9.9.9).
    if (version) {
      EXPECT_TRUE((*version == FileVersion{6, 0, 84, 18})) << row.file;
    }
  }
}

TEST(PeVersion, NotAProgram) {
  const std::string texts[] = {"", "M", "MZ", "just some text",
                               std::string("MZ") + std::string(100, '\0')};
  for (const std::string& text : texts) {
    auto bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    EXPECT_FALSE(ReadPeFileVersion(bytes, text.size()).has_value()) << text;
  }
}

// Every prefix of a real file: no read beyond it (the sanitizers watch), and
// a version only once the whole resource is there.
TEST(PeVersion, TruncatedFilesNeverReadBeyondTheirEnd) {
  for (const char* name : {"versioned-i686.exe", "versioned-x86_64.exe"}) {
    std::vector<std::uint8_t> image = Fixture(name);
    std::size_t firstFound = image.size();
    for (std::size_t size = 0; size <= image.size(); size += 7) {
      std::vector<std::uint8_t> prefix(image.begin(), image.begin() + static_cast<long>(size));
      if (ReadPeFileVersion(prefix.data(), prefix.size()) && size < firstFound) firstFound = size;
    }
    EXPECT_LT(firstFound, image.size()) << name;  // the resource is not at the very end
    EXPECT_GT(firstFound, 512u) << name;          // but well past the headers
  }
}

TEST(PeVersion, DamagedFilesNeverCrash) {
  std::vector<std::uint8_t> image = Fixture("versioned-x86_64.exe");
  std::mt19937 random(1);
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::uint8_t> damaged = image;
    for (int n = 0; n < 8; ++n)
      damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
    ReadPeFileVersion(damaged.data(), damaged.size());
  }
}
