// The trailer and the 130-byte header.
#include <gtest/gtest.h>

#include "package/header_reader.h"
#include "reader_test_support.h"

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
  EXPECT_TRUE(recorder.boxes().empty());
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

// Each of these ends in message 8 naming the setup executable, with the
// caller's caption, and nothing else.
TEST(PackageHeaderTest, AStartThatCannotBeReadGivesMessage8) {
  TestWriter shortHeader;
  shortHeader.HeaderImage(Bytes(129, 'h'));
  TestWriter pastEnd;
  pastEnd.U32(0);
  Bytes pointingPastEnd = pastEnd.Finish();
  pointingPastEnd[pointingPastEnd.size() - 1] = 0x7F;  // offset 0x7F000000
  TestWriter intoTrailer;  // header would overlap the trailer itself
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
    ASSERT_EQ(recorder.boxes().size(), 1u);
    EXPECT_EQ(recorder.boxes()[0].id, unsigned{IDS_READ_FILE});
    EXPECT_EQ(recorder.boxes()[0].text, ReadErrorText());
    EXPECT_EQ(recorder.boxes()[0].caption, kCaption);
    EXPECT_EQ(recorder.boxes()[0].style, unsigned{kBoxError});
  }
}

}  // namespace
}  // namespace testpkg
