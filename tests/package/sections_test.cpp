// The registry sections (D4 to D7) and the associations (D8).
#include <gtest/gtest.h>

#include "package/association_section.h"
#include "package/registry_section.h"
#include "reader_test_support.h"

namespace testpkg {
namespace {

Bytes SectionsFile(const TestPackage& p) {
  TestWriter out;
  out.HeaderImage({});
  out.Registry(p.registry);
  out.Associations(p.associations);
  return out.Finish();
}

TEST(RegistrySectionTest, HandsOverKeysAndValuesInRootOrder) {
  TestPackage p = RichPackage();
  p.registry[3] = {{"S-1-5-18\\Software\\Demo", {{4, "Count=-1"}, {7, "Odd=12"}}}};
  MemoryPackage package(SectionsFile(p));
  package.file.Seek(64);
  MessageRecorder recorder;
  RegistryLines registry;
  ASSERT_TRUE(ReadRegistrySections(package.input, registry));
  EXPECT_EQ(registry.lines, ExpectedRegistryLines(p));
  EXPECT_EQ(registry.lines.front(), "key HKCR\\DemoFile");
  EXPECT_TRUE(recorder.Boxes().empty());
}

// Four empty sections are four zero counts: sixteen bytes.
TEST(RegistrySectionTest, EmptySectionsAreFourCounts) {
  TestPackage p;
  MemoryPackage package(SectionsFile(p));
  package.file.Seek(64);
  RegistryLines registry;
  ASSERT_TRUE(ReadRegistrySections(package.input, registry));
  EXPECT_TRUE(registry.lines.empty());
  EXPECT_EQ(package.file.Position(), 64u + 16u);
}

// Texts are kept as stored, "=" and all: splitting them is the engine's.
TEST(RegistrySectionTest, ValueTextsArriveAsStored) {
  TestPackage p;
  p.registry[1] = {{"K", {{1, "=x"}, {1, "no equals sign"}, {1, "a=b=c"}, {1, ""}}}};
  MemoryPackage package(SectionsFile(p));
  package.file.Seek(64);
  RegistryLines registry;
  ASSERT_TRUE(ReadRegistrySections(package.input, registry));
  EXPECT_EQ(registry.lines,
            (std::vector<std::string>{"key HKCU\\K", "value 1 =x", "value 1 no equals sign",
                                      "value 1 a=b=c", "value 1 ", "end"}));
}

// Long texts cross the reader's internal runs intact.
TEST(RegistrySectionTest, LongTextsAreReadWhole) {
  for (std::size_t length : {126u, 127u, 128u, 255u, 256u, 5000u}) {
    TestPackage p;
    std::string path(length, 'k');
    path.back() = 'Z';
    p.registry[2] = {{path, {{1, "v=" + std::string(length, 'v')}}}};
    MemoryPackage package(SectionsFile(p));
    package.file.Seek(64);
    RegistryLines registry;
    ASSERT_TRUE(ReadRegistrySections(package.input, registry));
    EXPECT_EQ(registry.lines, ExpectedRegistryLines(p));
  }
}

// Counts are not trusted: a count the package cannot hold ends in IDS_READ_FILE
// after the entries that were there reached the sink.
TEST(RegistrySectionTest, ACountLargerThanThePackageGivesMessage8) {
  TestWriter out;
  out.HeaderImage({});
  out.U32(0xFFFFFFFFu);
  out.Text("Software\\Demo");
  out.U32(0xFFFFFFFFu);
  out.U32(1);
  out.Text("a=b");
  MemoryPackage package(out.Finish());
  package.file.Seek(64);
  MessageRecorder recorder;
  RegistryLines registry;
  EXPECT_FALSE(ReadRegistrySections(package.input, registry));
  EXPECT_EQ(registry.lines, (std::vector<std::string>{"key HKCR\\Software\\Demo", "value 1 a=b"}));
  ASSERT_EQ(recorder.Ids(), std::vector<unsigned>{IDS_READ_FILE});
  EXPECT_EQ(recorder.Boxes()[0].text, ReadErrorText());
}

// A damaged text that never ends is refused where the package ends, at the
// cost of reading it once: megabytes take a moment, not minutes. (The test's
// CTest timeout is the limit.)
TEST(RegistrySectionTest, ATextWithoutEndIsRefusedWhereThePackageEnds) {
  TestWriter out;
  out.HeaderImage({});
  out.U32(1);
  out.Raw(Bytes(4 << 20, 'k'));
  MemoryPackage package(out.Finish());
  package.file.Seek(64);
  MessageRecorder recorder;
  RegistryLines registry;
  EXPECT_FALSE(ReadRegistrySections(package.input, registry));
  EXPECT_TRUE(registry.lines.empty());
  EXPECT_EQ(recorder.Ids(), std::vector<unsigned>{IDS_READ_FILE});
}

TEST(AssociationSectionTest, HandsOverEveryEntry) {
  TestPackage p = RichPackage();
  p.associations.push_back({"txt", "Demo.Text", "Demo text", "\"C:\\quoted.exe\"", "", -3});
  MemoryPackage package(SectionsFile(p));
  package.file.Seek(64);
  RegistryLines registry;
  AssociationLines associations;
  ASSERT_TRUE(ReadRegistrySections(package.input, registry));
  ASSERT_TRUE(ReadAssociations(package.input, associations));
  EXPECT_EQ(associations.lines, ExpectedAssociationLines(p));
  EXPECT_EQ(associations.lines.back(), "txt|Demo.Text|Demo text|\"C:\\quoted.exe\"||-3");
  EXPECT_EQ(package.file.Position(), package.bytes.size() - 4);
}

TEST(AssociationSectionTest, ACountOfZeroHandsOverNothing) {
  TestPackage p;
  MemoryPackage package(SectionsFile(p));
  package.file.Seek(64 + 16);
  AssociationLines associations;
  ASSERT_TRUE(ReadAssociations(package.input, associations));
  EXPECT_TRUE(associations.lines.empty());
}

TEST(AssociationSectionTest, ACountLargerThanThePackageGivesMessage8) {
  TestWriter out;
  out.HeaderImage({});
  out.U32(0x40000000u);
  for (const char* text : {"dmo", "DemoFile", "Demo", "demo.exe", "demo.exe"}) out.Text(text);
  out.U32(0);
  MemoryPackage package(out.Finish());
  package.file.Seek(64);
  MessageRecorder recorder;
  AssociationLines associations;
  EXPECT_FALSE(ReadAssociations(package.input, associations));
  EXPECT_EQ(associations.lines.size(), 1u);
  EXPECT_EQ(recorder.Ids(), std::vector<unsigned>{IDS_READ_FILE});
}

}  // namespace
}  // namespace testpkg
