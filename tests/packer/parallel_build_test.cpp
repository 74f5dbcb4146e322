// vtpack build on several threads: the same bytes for every -j, and a
// failure on a worker thread ends the build as any failure does.
#include <cstdlib>
#include <random>

#include <gtest/gtest.h>

#include "packer/compression/stream_compressor.h"
#include "packer/setup_file/package_listing.h"
#include "vtpack_runner.h"

using namespace packer_test;

TEST(ParallelBuild, EveryJobCountGivesTheSameBytes) {
  ProjectFolder folder;
  std::string text;
  for (int i = 0; i < 4000; ++i)
    text += "line " + std::to_string(i * 7919 % 10007) + " of the text\n";
  folder.Write("data/text.txt", text);
  std::mt19937 random(5);
  packer::Bytes noise(80000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  folder.Write("data/noise.bin", noise);
  folder.Write("licence.txt", text.substr(0, 5000));
  folder.Write("project.toml",
               MinimalProject("licence = \"licence.txt\"\n[[files]]\nsource = \"data/*\"\n"));
  // Each level over data of one piece, then the default level over file
  // data of two pieces, which the workers compress side by side (a 4 KiB
  // block repeated: quick to compress; zopfli's pieces are smaller, but it
  // takes a minute over one).
  const struct {
    const char* level;
    bool twoPieces;
  } rows[] = {{"--best", false}, {"--zopfli", false}, {"", false}, {"", true}};
  for (const auto& row : rows) {
    if (row.twoPieces) {
      packer::Bytes pieces(packer::kStreamChunk + (1u << 20));
      for (std::size_t i = 0; i < pieces.size(); ++i) pieces[i] = noise[i % 4096];
      folder.Write("data/pieces.bin", pieces);
      ASSERT_TRUE(packer::SpansPieces(pieces.size(), packer::Compression::kDefault));
    }
    std::vector<packer::Bytes> outputs;
    for (const char* jobs : {"1", "4"}) {
      std::vector<std::string> extra = {"-j", jobs};
      if (*row.level) extra.push_back(row.level);
      RunResult run = BuildIn(folder, "project.toml", "Setup.exe", extra);
      ASSERT_EQ(run.exitCode, 0) << row.level << " -j " << jobs << ": " << run.err;
      outputs.push_back(folder.Read("Setup.exe"));
    }
    EXPECT_EQ(outputs[0], outputs[1]) << row.level << (row.twoPieces ? " (two pieces)" : "");
  }
  EXPECT_EQ(RunVtpack({"verify", folder.Path("Setup.exe")}).exitCode, 0);
  EXPECT_EQ(BuildIn(folder, "project.toml", "Zero.exe", {"-j", "0"}).exitCode, 1);
  EXPECT_FALSE(folder.Exists("Zero.exe"));
}

// libdeflate cannot make a compressor on a worker thread (as when memory
// runs out there): one line, exit code 1, and the folder as it was.
TEST(ParallelBuild, WorkerFailureEndsTheBuildWithOneMessage) {
  ProjectFolder folder;
  folder.Write("data.txt", std::string(100000, 'd'));
  folder.Write("project.toml", MinimalProject("[[files]]\nsource = \"data.txt\"\n"));
  std::vector<std::string> before = folder.Entries();
  // The preloaded library comes before the sanitizer's runtime.
  const char* asan = std::getenv("ASAN_OPTIONS");
  std::string asanOptions = std::string(asan ? asan : "") + ":verify_asan_link_order=0";
  RunResult run =
      BuildIn(folder, "project.toml", "Setup.exe", {"-j", "2"},
              {{"LD_PRELOAD", std::string(FAILING_COMPRESSOR)}, {"ASAN_OPTIONS", asanOptions}});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "vtpack: compressing the file data failed: out of memory\n");
  EXPECT_EQ(folder.Entries(), before);
}

// An uninstaller larger than one piece is compressed in pieces too, and reads
// back whole.
TEST(ParallelBuild, LargeUninstallerIsCompressedInPieces) {
  ProjectFolder folder;
  packer::Bytes uninstaller = UninstallerImage();
  for (std::uint32_t i = 0; uninstaller.size() <= (16u << 20); ++i)
    uninstaller.push_back(static_cast<std::uint8_t>(i % 251 ^ i >> 12));
  folder.Write("big-uninst.exe", uninstaller);
  folder.Write("project.toml", MinimalProject());
  std::vector<packer::Bytes> outputs;
  for (const char* jobs : {"1", "3"}) {
    RunResult run = BuildIn(folder, "project.toml", "Setup.exe", {"-j", jobs}, {}, nullptr,
                            "stub.exe", "big-uninst.exe");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    outputs.push_back(folder.Read("Setup.exe"));
  }
  EXPECT_EQ(outputs[0], outputs[1]);
  auto listing = packer::ReadPackageListing(folder.Path("Setup.exe"));
  ASSERT_TRUE(listing.ok()) << listing.problem().message;
  EXPECT_EQ(listing.value().uninstaller, uninstaller);
}
