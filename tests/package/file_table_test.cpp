// The file table, its records, and the check that the file data holds them.
#include "package/file_table.h"

#include <cstring>

#include <gtest/gtest.h>

#include "reader_test_support.h"

namespace testpkg {
namespace {

// A package file whose data starts with the file table.
Bytes TableFile(const std::vector<TestFile>& files, std::uint32_t count) {
  TestWriter out;
  out.HeaderImage({});
  out.U32(count);
  for (const TestFile& file : files) out.File(file);
  return out.Finish();
}

Bytes TableFile(const std::vector<TestFile>& files) {
  return TableFile(files, static_cast<std::uint32_t>(files.size()));
}

TEST(FileTableTest, ReadsEveryFieldOfARecord) {
  TestFile file;
  file.name = "demo.exe";
  file.destinationType = 4;
  file.subDirectory = "Tools\\Bin\\";
  file.contents = Bytes(1234, 'x');
  for (int i = 0; i < 44; ++i) file.timestamp[i] = static_cast<std::uint8_t>(i);
  file.timestamp[4] = 0;  // stale 0: the fields are taken as stored
  file.hasVersion = 1;
  file.version = {6, 0, 84, 18};
  file.replaceIfInUse = 1;
  file.selfRegister = 0xFFFFFFFFu;
  file.sharedDll = 2;
  MemoryPackage package(TableFile({file}));
  package.file.Seek(64);
  MessageRecorder recorder;

  FileTable table;
  ASSERT_TRUE(ReadFileTable(package.input, &table));
  ASSERT_EQ(table.Count(), 1);
  const FileRecord& r = table[0];
  EXPECT_EQ(r.FileSize, 1234u);
  EXPECT_STREQ(r.FileName.Text(), "demo.exe");
  EXPECT_EQ(r.DestinationType, 4u);
  EXPECT_STREQ(r.SubDirectory.Text(), "Tools\\Bin\\");
  EXPECT_EQ(r.HasVersion, 1u);
  EXPECT_EQ(r.FileVersion[0], 6);
  EXPECT_EQ(r.FileVersion[1], 0);
  EXPECT_EQ(r.FileVersion[2], 84);
  EXPECT_EQ(r.FileVersion[3], 18);
  EXPECT_EQ(r.ReplaceIfInUse, 1u);
  EXPECT_EQ(r.SelfRegister, 0xFFFFFFFFu);
  EXPECT_EQ(r.SharedDll, 2u);
  DateTime stored(file.timestamp.data());
  EXPECT_EQ(std::memcmp(&r.FileTimestamp.second, &stored.second, 9 * sizeof(int32_t)), 0);
  EXPECT_EQ(r.FileTimestamp.seconds, stored.seconds);
  EXPECT_EQ(package.file.Position(), package.bytes.size() - 4) << "the record is consumed whole";
  EXPECT_TRUE(recorder.Boxes().empty());
}

// Only HasVersion 1 carries version bytes: with any other value the next
// field follows at once.
TEST(FileTableTest, VersionBytesOnlyWithHasVersionOne) {
  for (std::uint32_t hasVersion : {0u, 1u, 2u, 0x100u, 0xFFFFFFFFu}) {
    SCOPED_TRACE("HasVersion " + std::to_string(hasVersion));
    TestFile first;
    first.hasVersion = hasVersion;
    first.version = {1, 2, 3, 4};
    first.sharedDll = 7;
    TestFile second;
    second.name = "second.dll";
    MemoryPackage package(TableFile({first, second}));
    package.file.Seek(64);
    FileTable table;
    ASSERT_TRUE(ReadFileTable(package.input, &table));
    ASSERT_EQ(table.Count(), 2);
    EXPECT_EQ(table[0].HasVersion, hasVersion);
    EXPECT_EQ(table[0].SharedDll, 7u);
    EXPECT_EQ(table[0].FileVersion[3], hasVersion == 1 ? 4 : 0);
    EXPECT_STREQ(table[1].FileName.Text(), "second.dll");
  }
}

TEST(FileTableTest, EmptySubDirectoryIsEmpty) {
  TestFile file;
  file.subDirectory = "";
  MemoryPackage package(TableFile({file}));
  package.file.Seek(64);
  FileTable table;
  ASSERT_TRUE(ReadFileTable(package.input, &table));
  EXPECT_TRUE(table[0].SubDirectory.IsEmpty());
}

TEST(FileTableTest, ACountOfZeroOrBelowMeansNoFiles) {
  for (std::uint32_t count : {0u, 0x80000000u, 0xFFFFFFFFu}) {
    MemoryPackage package(TableFile({}, count));
    package.file.Seek(64);
    MessageRecorder recorder;
    FileTable table;
    EXPECT_TRUE(ReadFileTable(package.input, &table));
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(package.file.Position(), 68u);
    EXPECT_TRUE(recorder.Boxes().empty());
  }
}

// A table of more records than one buffer may hold is refused as an
// allocation failure; one of more records than the package has bytes for
// as the short read it is.
TEST(FileTableTest, AbsurdCountsAreRefusedBeforeAnyAllocation) {
  const struct {
    std::uint32_t count;
    unsigned message;
  } cases[] = {
      {0x7FFFFFFFu, IDS_OUT_OF_MEMORY},
      {static_cast<std::uint32_t>(kLargestBlock / sizeof(FileRecord) + 1), IDS_OUT_OF_MEMORY},
      {static_cast<std::uint32_t>(kLargestBlock / sizeof(FileRecord)), IDS_READ_FILE},
      {1000, IDS_READ_FILE},
      {2, IDS_READ_FILE},  // one record there, the second missing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("count " + std::to_string(c.count));
    MemoryPackage package(TableFile({TestFile()}, c.count));
    package.file.Seek(64);
    MessageRecorder recorder;
    FileTable table;
    EXPECT_FALSE(ReadFileTable(package.input, &table));
    EXPECT_EQ(recorder.Ids(), std::vector<unsigned>{c.message});
  }
}

TEST(FileTableTest, TheTableGrowsPastItsReservation) {
  FileTable table;
  ASSERT_TRUE(table.Reserve(4));
  for (int i = 0; i < 100; ++i) {
    FileRecord* record = table.Append();
    ASSERT_NE(record, nullptr);
    record->FileSize = static_cast<uint32_t>(i);
    record->FileName = std::to_string(i).c_str();
  }
  ASSERT_EQ(table.Count(), 100);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(table[i].FileSize, static_cast<uint32_t>(i));
    EXPECT_EQ(std::string(table[i].FileName.Text()), std::to_string(i));
  }
}

// The file data after a table of files with these sizes.
struct FitCase {
  const char* what;
  std::vector<std::size_t> fileSizes;
  std::size_t dataLength;  // bytes the block really holds
  std::uint32_t statedSize;
  Form form;
  bool accepted;
};

TEST(FileTableTest, FilesMustFitInTheDataTheBlockProduced) {
  const FitCase cases[] = {
      {"exact, compressed", {10, 0, 20}, 30, 30, Form::kCompressed, true},
      {"exact, stored", {10, 0, 20}, 30, 30, Form::kStored, true},
      {"short stream still covering all files", {10, 20}, 30, 500, Form::kCompressed, true},
      {"short stream missing the last byte", {10, 20}, 29, 30, Form::kCompressed, false},
      {"stored block smaller than the files", {10, 20}, 29, 29, Form::kStored, false},
      {"more data than files", {10}, 30, 30, Form::kStored, true},
      {"one empty file, no data", {0}, 0, 0, Form::kStored, true},
      {"huge sizes whose sum wraps 32 bits", {0xFFFFFFFFu, 2}, 1, 1, Form::kStored, false},
  };
  for (const FitCase& c : cases) {
    SCOPED_TRACE(c.what);
    TestWriter out;
    out.HeaderImage({});
    out.U32(static_cast<std::uint32_t>(c.fileSizes.size()));
    for (std::size_t size : c.fileSizes) {
      TestFile file;
      out.U32(static_cast<std::uint32_t>(size));  // FileSize as stated
      out.Text(file.name);
      out.U32(0);
      out.Text("");
      out.Raw(Bytes(44, 0));
      out.U32(0);
      out.U32(0);
      out.U32(0);
      out.U32(0);
    }
    Bytes data(c.dataLength, 'd');
    if (c.form == Form::kStored) {
      out.Block(0, static_cast<std::uint32_t>(data.size()), data);
    } else {
      Bytes stream = Deflate(data);
      out.Block(static_cast<std::uint32_t>(stream.size()), c.statedSize, stream);
    }
    MemoryPackage package(out.Finish());
    package.file.Seek(64);
    MessageRecorder recorder;
    FileTable table;
    FileDataBytes unpacked;
    uint64_t produced = 0;
    ASSERT_TRUE(ReadFileTable(package.input, &table));
    EXPECT_EQ(ReadFileData(package.input, table, unpacked, &produced), c.accepted);
    if (c.accepted) {
      EXPECT_TRUE(recorder.Boxes().empty());
      EXPECT_EQ(produced, c.dataLength);
      EXPECT_EQ(unpacked.bytes.size(), c.dataLength);
    } else {
      EXPECT_EQ(recorder.Ids(), std::vector<unsigned>{IDS_UNCOMPRESS});
    }
  }
}

}  // namespace
}  // namespace testpkg
