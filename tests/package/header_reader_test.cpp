// The trailer and the 130-byte header.
#include "package/header_reader.h"

#include <gtest/gtest.h>

#include "package/memory_package_file.h"
#include "reader_test_support.h"
#include "stand_in_image.h"

namespace testpkg {
namespace {

TEST(PackageHeaderTest, ReadsEveryFieldAndStopsAfterTheHeader) {
  TestPackage p;
  p.appName = "Demo App";
  p.appVersion = "3.1 beta";
  p.showDestinationPage = 1;
  p.showShortcutsPage = 0;
  p.showWelcomePage = 7;
  p.runProgramAtEnd = 1;
  p.checkProgramNotRunning = 0;
  p.programWindowClass = "DemoMainWindow";
  p.programFileName = "demo app.exe";
  MemoryPackage package(BuildPackage(p));
  MessageRecorder recorder;

  uint32_t offset = 0;
  PackageHeader header;
  ASSERT_TRUE(ReadPackageTrailer(package.input, &offset));
  EXPECT_EQ(offset, 64u);
  ASSERT_TRUE(ReadPackageHeader(package.input, offset, &header));

  EXPECT_STREQ(header.AppName, "Demo App");
  EXPECT_STREQ(header.AppVersion, "3.1 beta");
  EXPECT_EQ(header.ShowDestinationPage, 1);
  EXPECT_EQ(header.ShowShortcutsPage, 0);
  EXPECT_EQ(header.HasLicence, 0);
  EXPECT_EQ(header.ShowWelcomePage, 7);
  EXPECT_EQ(header.RunProgramAtEnd, 1);
  EXPECT_EQ(header.CheckProgramNotRunning, 0);
  EXPECT_STREQ(header.ProgramWindowClass, "DemoMainWindow");
  EXPECT_STREQ(header.ProgramFileName, "demo app.exe");
  EXPECT_EQ(package.file.Position(), 64u + 130u);
  EXPECT_TRUE(recorder.Boxes().empty());
}

// Texts that fill their whole field have no NUL: the reader ends them inside
// the field, so none runs into the next field.
TEST(PackageHeaderTest, FullTextFieldsAreCutToThirtyCharacters) {
  std::string full(31, 'A');
  TestPackage p;
  p.appName = full;
  p.appVersion = std::string(31, 'B');
  p.programWindowClass = std::string(31, 'C');
  p.programFileName = std::string(31, 'D');
  MemoryPackage package(BuildPackage(p));
  MessageRecorder recorder;

  PackageHeader header;
  ASSERT_TRUE(ReadPackageHeader(package.input, 64, &header));
  EXPECT_EQ(std::string(header.AppName), std::string(30, 'A'));
  EXPECT_EQ(std::string(header.AppVersion), std::string(30, 'B'));
  EXPECT_EQ(std::string(header.ProgramWindowClass), std::string(30, 'C'));
  EXPECT_EQ(std::string(header.ProgramFileName), std::string(30, 'D'));
}

TEST(PackageHeaderTest, BytesAfterTheNulAreIgnored) {
  Bytes image(130, 0);
  const std::string name = "Demo";
  std::copy(name.begin(), name.end(), image.begin());
  std::fill(image.begin() + 5, image.begin() + 31, 'Z');  // garbage after the NUL
  PackageHeader header;
  DecodePackageHeader(image.data(), &header);
  EXPECT_STREQ(header.AppName, "Demo");
  EXPECT_STREQ(header.AppVersion, "");
}

struct BrokenStart {
  const char* what;
  Bytes bytes;
};

// Each of these ends in IDS_READ_FILE naming the setup executable, with the
// caller's caption, and nothing else.
TEST(PackageHeaderTest, AStartThatCannotBeReadGivesMessage8) {
  TestWriter shortHeader;
  shortHeader.HeaderImage(Bytes(129, 'h'));
  TestWriter pastEnd;
  pastEnd.U32(0);
  Bytes pointingPastEnd = pastEnd.Finish();
  pointingPastEnd[pointingPastEnd.size() - 1] = 0x7F;  // offset 0x7F000000
  TestWriter intoTrailer;                              // header would overlap the trailer itself
  intoTrailer.HeaderImage(Bytes(126, 'h'));

  const BrokenStart cases[] = {
      {"empty file", {}},
      {"three bytes", {1, 2, 3}},
      {"header one byte short", shortHeader.Finish()},
      {"trailer points past the end", pointingPastEnd},
      {"header reaches into the trailer", intoTrailer.Finish()},
  };
  for (const BrokenStart& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryPackage package(c.bytes);
    MessageRecorder recorder;
    uint32_t offset = 0;
    PackageHeader header;
    bool read = ReadPackageTrailer(package.input, &offset) &&
                ReadPackageHeader(package.input, offset, &header);
    EXPECT_FALSE(read);
    ASSERT_EQ(recorder.Boxes().size(), 1u);
    EXPECT_EQ(recorder.Boxes()[0].id, unsigned{IDS_READ_FILE});
    EXPECT_EQ(recorder.Boxes()[0].text, ReadErrorText());
    EXPECT_EQ(recorder.Boxes()[0].caption, kCaption);
    EXPECT_EQ(recorder.Boxes()[0].style, unsigned{kBoxError});
  }
}

// The image, some package bytes, and a trailer pointing at `offset`.
Bytes SetupFile(Bytes image, uint32_t offset) {
  image.resize(image.size() + 200, 0x11);
  for (int i = 0; i < 4; ++i) image.push_back(static_cast<unsigned char>(offset >> (8 * i)));
  return image;
}

TEST(PackageBehindImageTest, TheImageEndsAfterItsHeadersAndLastSection) {
  for (int sections : {0, 1, 3}) {
    Bytes image = support::StandInImage(sections);
    MemoryPackageFile file(image.data(), image.size());
    uint64_t end = 0;
    ASSERT_TRUE(ReadProgramImageEnd(file, &end)) << sections;
    EXPECT_EQ(end, image.size()) << sections;
  }
}

TEST(PackageBehindImageTest, PackageAtTheImageEndIsAccepted) {
  Bytes image = support::StandInImage(2);
  uint32_t end = static_cast<uint32_t>(image.size());
  MemoryPackage package(SetupFile(image, end));
  MessageRecorder recorder;
  EXPECT_TRUE(CheckPackageBehindImage(package.input, end));
  EXPECT_TRUE(CheckPackageBehindImage(package.input, end + 10));
  EXPECT_TRUE(recorder.Boxes().empty());
}

TEST(PackageBehindImageTest, TrailerIntoTheImageOrMalformedHeadersGiveMessage8) {
  Bytes image = support::StandInImage(2);
  uint32_t end = static_cast<uint32_t>(image.size());
  Bytes badSignature = image;
  badSignature[support::kNtHeaders + 1] = 'X';
  Bytes lfanewPastTheEnd = image;
  lfanewPastTheEnd[0x3E] = 0x7F;
  Bytes smallOptionalHeader = image;
  smallOptionalHeader[0x94] = 0x20;
  Bytes tooManySections = image;
  tooManySections[0x86] = 0xFF;
  tooManySections[0x87] = 0xFF;
  Bytes noMz = image;
  noMz[0] = 'X';
  const struct {
    const char* what;
    Bytes bytes;
    uint32_t offset;
  } cases[] = {
      {"trailer at the start of the image", SetupFile(image, 0), 0},
      {"trailer inside the last section", SetupFile(image, end - 1), end - 1},
      {"trailer inside the headers", SetupFile(image, 0x100), 0x100},
      {"no MZ", SetupFile(noMz, end), end},
      {"no PE signature", SetupFile(badSignature, end), end},
      {"e_lfanew past the end", SetupFile(lfanewPastTheEnd, end), end},
      {"optional header without SizeOfHeaders", SetupFile(smallOptionalHeader, end), end},
      {"section table past the end", SetupFile(tooManySections, end), end},
      {"shorter than a DOS header", Bytes{'M', 'Z', 0, 0, 0, 0, 0, 0}, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryPackage package(c.bytes);
    MessageRecorder recorder;
    EXPECT_FALSE(CheckPackageBehindImage(package.input, c.offset));
    ASSERT_EQ(recorder.Boxes().size(), 1u);
    EXPECT_EQ(recorder.Boxes()[0].id, unsigned{IDS_READ_FILE});
    EXPECT_EQ(recorder.Boxes()[0].text, ReadErrorText());
  }
}

// A signed setup file: the certificate table that ends the file, named by
// the image's security entry, pushes the trailer in front of it, after the
// zeros that align the table. The package is read whole, none of the table
// taken for its data.
TEST(SignedSetupTest, TheTrailerLiesBeforeTheCertificateTable) {
  const Bytes package = BuildPackage(RichPackage());
  for (bool pe32Plus : {false, true}) {
    for (std::size_t padding = 0; padding < 8; ++padding) {
      SCOPED_TRACE(::testing::Message()
                   << (pe32Plus ? "PE32+" : "PE32") << ", padding " << padding);
      Bytes unsignedFile = SetupFileWith(support::StandInImage(2, pe32Plus), package);
      WholeRead read;
      ReadWhole(Signed(unsignedFile, padding, 1024, pe32Plus), &read);
      ASSERT_TRUE(read.ok) << (read.boxes.empty() ? "" : read.boxes[0].text);
      EXPECT_TRUE(read.contents.Signed);
      EXPECT_EQ(read.contents.HeaderOffset, support::StandInImage(2, pe32Plus).size());
      EXPECT_EQ(read.contents.TrailerOffset, unsignedFile.size() - 4);
      EXPECT_EQ(read.contents.EndOffset, read.contents.TrailerOffset);
    }
  }
}

// Entries that do not describe a table ending the file leave the trailer in
// the last 4 bytes (here the table's, so the read fails at the header);
// one that overlaps the image is refused. Always IDS_READ_FILE, never more.
TEST(SignedSetupTest, MalformedCertificateEntriesGiveMessage8) {
  const Bytes setup = SetupFileWith(support::StandInImage(2), BuildPackage(RichPackage()));
  const std::size_t entry = support::SecurityEntryOffset();
  auto withEntry = [&](std::uint32_t offset, std::uint32_t size) {
    Bytes bytes = Signed(setup, 0);
    for (int i = 0; i < 4; ++i) {
      bytes[entry + i] = static_cast<std::uint8_t>(offset >> (8 * i));
      bytes[entry + 4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    }
    return bytes;
  };
  const std::uint32_t table = static_cast<std::uint32_t>(setup.size());
  Bytes noTrailer = Signed(setup, 0);
  std::fill(noTrailer.begin() + table - 12, noTrailer.begin() + table, 0xFF);
  const struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"table past the end", withEntry(table, 2048)},
      {"table ending before the end", withEntry(table, 512)},
      {"zero size", withEntry(table + 1024, 0)},
      {"table overlapping the image", withEntry(0x100, table + 1024 - 0x100)},
      {"table at the file's start", withEntry(0, table + 1024)},
      {"no trailer before the table", noTrailer},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WholeRead read;
    ReadWhole(c.bytes, &read);
    EXPECT_FALSE(read.ok);
    ASSERT_EQ(read.boxes.size(), 1u);
    EXPECT_EQ(read.boxes[0].id, unsigned{IDS_READ_FILE});
  }
}

}  // namespace
}  // namespace testpkg
