// vtpack build, then the package read back by the setup program's reader:
// what the project file asks for is what the setup program will see.
#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "base/little_endian.h"
#include "packer/setup_file/package_listing.h"
#include "vtpack_runner.h"

using namespace packer_test;
using packer::PackageListing;

namespace {

PackageListing BuildAndRead(
    const ProjectFolder& folder, const std::string& project,
    const std::map<std::string, std::optional<std::string>>& environment = {}) {
  folder.Write("project.toml", project);
  RunResult run = BuildIn(folder, "project.toml", "Setup.exe", {}, environment);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  auto listing = packer::ReadPackageListing(folder.Path("Setup.exe"), true);
  EXPECT_TRUE(listing.ok()) << (listing.ok() ? "" : listing.problem().message);
  return listing.ok() ? listing.value() : PackageListing{};
}

}  // namespace

TEST(BuildRoundTrip, HeaderTextsAndOptionBytes) {
  ProjectFolder folder;
  PackageListing p = BuildAndRead(folder, R"([application]
name = "Café Tool"
version = "2.5 beta"
program = "tool.exe"
window-class = "CafeToolWindow"
[setup]
welcome-page = false
destination-page = true
shortcuts-page = false
run-program-at-end = true
check-program-not-running = true
)");
  EXPECT_EQ(p.appName, "Caf\xE9 Tool");  // code page 1252
  EXPECT_EQ(p.appVersion, "2.5 beta");
  EXPECT_EQ(p.programFileName, "tool.exe");
  EXPECT_EQ(p.programWindowClass, "CafeToolWindow");
  EXPECT_FALSE(p.showWelcomePage);
  EXPECT_TRUE(p.showDestinationPage);
  EXPECT_FALSE(p.showShortcutsPage);
  EXPECT_TRUE(p.runProgramAtEnd);
  EXPECT_TRUE(p.checkProgramNotRunning);
  EXPECT_FALSE(p.hasLicence);
  // The stub comes first, then the zeros that make the file a multiple of 8
  // long (signing then pads nothing), the package, and the trailer pointing
  // at it.
  // The image's checksum field holds the whole file's, as signing tools and
  // Windows compute it; the rest of the image is the stub's.
  packer::Bytes setup = folder.Read("Setup.exe");
  packer::Bytes stub = StubImage();
  const std::size_t field = LoadU32(&stub[0x3C]) + 24 + 64;  // in the optional header
  EXPECT_EQ(LoadU32(&setup[field]), FileChecksum(setup, field));
  std::copy(stub.begin() + field, stub.begin() + field + 4, setup.begin() + field);
  EXPECT_TRUE(std::equal(stub.begin(), stub.end(), setup.begin()));
  EXPECT_EQ(setup.size() % 8, 0u);
  ASSERT_GE(p.headerOffset, stub.size());
  EXPECT_LT(p.headerOffset, stub.size() + 8);
  EXPECT_TRUE(std::all_of(setup.begin() + static_cast<long>(stub.size()),
                          setup.begin() + p.headerOffset, [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(LoadU32(&setup[setup.size() - 4]), p.headerOffset);
  // Unused bytes of the text fields are zero: the output depends on nothing else.
  EXPECT_EQ(p.headerImage[layout::kAppVersionOffset + 8], 0);
  EXPECT_EQ(p.headerImage[layout::kAppVersionOffset + 30], 0);
}

TEST(BuildRoundTrip, DefaultOptionsShowThePagesAndNothingElse) {
  ProjectFolder folder;
  PackageListing p = BuildAndRead(folder, MinimalProject());
  EXPECT_TRUE(p.showWelcomePage);
  EXPECT_TRUE(p.showDestinationPage);
  EXPECT_TRUE(p.showShortcutsPage);
  EXPECT_FALSE(p.runProgramAtEnd);
  EXPECT_FALSE(p.checkProgramNotRunning);
  EXPECT_EQ(p.uninstaller, UninstallerImage());
  EXPECT_EQ(p.uninstallerDeclaredSize, UninstallerImage().size());
}

TEST(BuildRoundTrip, ThirtyByteTextsFitTheirFields) {
  ProjectFolder folder;
  std::string thirty(30, 'N');
  PackageListing p = BuildAndRead(folder, "[application]\nname = \"" + thirty + "\"\nversion = \"" +
                                              thirty + "\"\nwindow-class = \"" + thirty + "\"\n");
  EXPECT_EQ(p.appName, thirty);
  EXPECT_EQ(p.appVersion, thirty);
  EXPECT_EQ(p.programWindowClass, thirty);
  EXPECT_EQ(p.headerImage[30], 0);  // the NUL in the field's last byte
}

TEST(BuildRoundTrip, NoFilesMeansNoFileDataBlock) {
  ProjectFolder folder;
  PackageListing p = BuildAndRead(folder, MinimalProject());
  EXPECT_TRUE(p.files.empty());
  EXPECT_FALSE(p.fileDataDeclaredSize.has_value());
  // After the uninstaller block: the count 0, then straight away the four
  // registry counts and the association count, then the trailer.
  packer::Bytes setup = folder.Read("Setup.exe");
  std::size_t d1 = p.headerOffset + layout::kHeaderSize;
  std::size_t d2 = d1 + layout::kStoredBlockFramingSize + LoadU32(&setup[d1]);
  ASSERT_EQ(setup.size(), d2 + 4 + 5 * 4 + layout::kTrailerSize);
  for (int field = 0; field < 6; ++field) EXPECT_EQ(LoadU32(&setup[d2 + 4 * field]), 0u) << field;
}

TEST(BuildRoundTrip, FilesKeepTheirBytesNamesAndOrder) {
  ProjectFolder folder;
  folder.Write("bin/b.dll", std::string("second"));
  folder.Write("bin/a.exe", std::string("first file"));
  folder.Write("bin/B-upper.txt", std::string("upper"));
  folder.Write("bin/sub/skipped.txt", std::string("directories are not files"));
  folder.Write("doc/readme.txt", std::string());
  PackageListing p = BuildAndRead(folder, MinimalProject(R"(
[[files]]
source = "bin/*"
[[files]]
source = "doc/readme.txt"
name = "LIESMICH.txt"
)"));
  ASSERT_EQ(p.files.size(), 4u);
  // A glob's files in byte order: upper case before lower case.
  const char* names[] = {"B-upper.txt", "a.exe", "b.dll", "LIESMICH.txt"};
  const char* contents[] = {"upper", "first file", "second", ""};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(p.files[i].fileName, names[i]);
    EXPECT_EQ(std::string(p.files[i].content.begin(), p.files[i].content.end()), contents[i]);
    EXPECT_EQ(p.files[i].fileSize, std::strlen(contents[i]));
  }
  EXPECT_EQ(*p.fileDataDeclaredSize, 21u);
}

TEST(BuildRoundTrip, DestinationsByName) {
  const std::pair<const char*, unsigned> table[] = {{"app", 0},           {"windows", 1},
                                                    {"system", 2},        {"fonts", 3},
                                                    {"program-files", 4}, {"common-files", 5}};
  ProjectFolder folder;
  std::string project = MinimalProject();
  for (const auto& [name, type] : table) {
    folder.Write(std::string("files/") + name + ".txt", std::string(name));
    project += "[[files]]\nsource = \"files/" + std::string(name) + ".txt\"\ndestination = \"" +
               name + "\"\n";
  }
  PackageListing p = BuildAndRead(folder, project);
  ASSERT_EQ(p.files.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i)
    EXPECT_EQ(p.files[i].destinationType, table[i].second) << table[i].first;
}

TEST(BuildRoundTrip, SubfoldersAreNormalised) {
  const std::pair<const char*, const char*> table[] = {{"", ""},
                                                       {"Docs", "Docs\\"},
                                                       {"Docs/Manual", "Docs\\Manual\\"},
                                                       {"Docs\\\\Manual\\\\", "Docs\\Manual\\"}};
  ProjectFolder folder;
  folder.Write("f.txt", std::string("x"));
  std::string project = MinimalProject();
  int n = 0;
  for (const auto& [given, stored] : table) {
    project += "[[files]]\nsource = \"f.txt\"\nname = \"f" + std::to_string(n++) +
               ".txt\"\nsubfolder = \"" + given + "\"\n";
  }
  PackageListing p = BuildAndRead(folder, project);
  ASSERT_EQ(p.files.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i)
    EXPECT_EQ(p.files[i].subDirectory, table[i].second) << table[i].first;
}

TEST(BuildRoundTrip, FlagsOfEachFile) {
  ProjectFolder folder;
  folder.Write("f.dll", std::string("x"));
  PackageListing p = BuildAndRead(folder, MinimalProject(R"(
[[files]]
source = "f.dll"
[[files]]
source = "f.dll"
name = "g.dll"
replace-if-in-use = true
self-register = true
shared = true
[[files]]
source = "f.dll"
name = "h.dll"
self-register = true
)"));
  ASSERT_EQ(p.files.size(), 3u);
  EXPECT_EQ(p.files[0].replaceIfInUse + p.files[0].selfRegister + p.files[0].sharedDll, 0u);
  EXPECT_EQ(p.files[1].replaceIfInUse, 1u);
  EXPECT_EQ(p.files[1].selfRegister, 1u);
  EXPECT_EQ(p.files[1].sharedDll, 1u);
  EXPECT_EQ(p.files[2].replaceIfInUse, 0u);
  EXPECT_EQ(p.files[2].selfRegister, 1u);
  EXPECT_EQ(p.files[2].sharedDll, 0u);
}

TEST(BuildRoundTrip, VersionsFromResourceGivenOrNone) {
  ProjectFolder folder;
  folder.Write("plain.txt", std::string("no resource"));
  std::string fixtures = PACKER_FIXTURES;
  PackageListing p = BuildAndRead(folder, MinimalProject(R"(
[[files]]
source = ")" + fixtures + R"(/versioned-i686.exe"
[[files]]
source = "plain.txt"
[[files]]
source = ")" + fixtures + R"(/versioned-x86_64.exe"
version = "none"
[[files]]
source = "plain.txt"
name = "given.txt"
version = "1.2"
[[files]]
source = ")" + fixtures + R"(/plain-x86_64.exe"
)"));
  ASSERT_EQ(p.files.size(), 5u);
  const std::uint16_t example[4] = {6, 0, 84, 18};
  EXPECT_EQ(p.files[0].hasVersion, 1u);
  EXPECT_EQ(std::memcmp(p.files[0].version, example, sizeof example), 0);
  EXPECT_EQ(p.files[1].hasVersion, 0u);  // not 1: no version bytes follow
  EXPECT_EQ(p.files[2].hasVersion, 0u);
  EXPECT_EQ(p.files[3].hasVersion, 1u);
  const std::uint16_t given[4] = {1, 2, 0, 0};
  EXPECT_EQ(std::memcmp(p.files[3].version, given, sizeof given), 0);
  EXPECT_EQ(p.files[4].hasVersion, 0u);
  // The example of the layout, byte for byte.
  packer::Bytes setup = folder.Read("Setup.exe");
  const std::uint8_t bytes[] = {6, 0, 0, 0, 0x54, 0, 0x12, 0};
  EXPECT_NE(std::search(setup.begin(), setup.end(), std::begin(bytes), std::end(bytes)),
            setup.end());
}

TEST(BuildRoundTrip, TimeStampIsTheSourceModificationTimeInUtc) {
  ProjectFolder folder;
  folder.Write("f.txt", std::string("x"));
  folder.SetModified("f.txt", 977000687);  // 2000-12-16 21:04:47 UTC, a Saturday
  PackageListing p =
      BuildAndRead(folder, MinimalProject("[[files]]\nsource = \"f.txt\"\n"),
                   {{"TZ", std::string("America/New_York")}, {"SOURCE_DATE_EPOCH", std::nullopt}});
  ASSERT_EQ(p.files.size(), 1u);
  const packer::ListedTime& t = p.files[0].timestamp;
  EXPECT_EQ(t.stale, 0);
  EXPECT_EQ(t.valid, 1);
  EXPECT_EQ(t.seconds, 977000687);
  EXPECT_EQ(t.year, 2000);
  EXPECT_EQ(t.month, 12);
  EXPECT_EQ(t.day, 16);
  EXPECT_EQ(t.hour, 21);
  EXPECT_EQ(t.minute, 4);
  EXPECT_EQ(t.second, 47);
  EXPECT_EQ(t.weekday, 6);
  EXPECT_EQ(t.dayOfYear, 350);
  EXPECT_EQ(t.daylightSaving, 0);
}

TEST(BuildRoundTrip, SourceDateEpochBoundsTimeStamps) {
  ProjectFolder folder;
  folder.Write("old.txt", std::string("x"));
  folder.Write("new.txt", std::string("y"));
  folder.SetModified("old.txt", 946684800);   // 2000-01-01
  folder.SetModified("new.txt", 1700000000);  // 2023-11-14
  PackageListing p = BuildAndRead(folder, MinimalProject("[[files]]\nsource = \"*.txt\"\n"),
                                  {{"SOURCE_DATE_EPOCH", std::string("1600000000")}});
  ASSERT_EQ(p.files.size(), 2u);
  EXPECT_EQ(p.files[0].fileName, "new.txt");
  EXPECT_EQ(p.files[0].timestamp.seconds, 1600000000);
  EXPECT_EQ(p.files[0].timestamp.year, 2020);
  EXPECT_EQ(p.files[1].timestamp.seconds, 946684800);  // already earlier: kept
}

TEST(BuildRoundTrip, LicenceIsCrLfAndNulTerminated) {
  ProjectFolder folder;
  folder.Write("licence.txt",
               std::string("\xEF\xBB\xBFLine one\nLine two\r\nLine three\rGr\xC3\xBC\xC3\x9F"
                           "e\n"));
  PackageListing p = BuildAndRead(folder, MinimalProject("licence = \"licence.txt\"\n"));
  EXPECT_TRUE(p.hasLicence);
  EXPECT_EQ(p.licenceText,
            "Line one\r\nLine two\r\nLine three\r\nGr\xFC\xDF"
            "e\r\n");
}

TEST(BuildRoundTrip, SmallLicenceIsStoredLargeOneCompressed) {
  ProjectFolder folder;
  folder.Write("short.txt", std::string("OK"));
  std::string longText;
  for (int i = 0; i < 200; ++i) longText += "You may use this program as you like.\n";
  folder.Write("long.txt", longText);
  for (const char* name : {"short.txt", "long.txt"}) {
    PackageListing p =
        BuildAndRead(folder, MinimalProject(std::string("licence = \"") + name + "\"\n"));
    packer::Bytes setup = folder.Read("Setup.exe");
    std::size_t block = p.headerOffset + layout::kHeaderSize;
    std::uint32_t compressed = LoadU32(&setup[block]), size = LoadU32(&setup[block + 4]);
    if (std::string(name) == "short.txt") {
      EXPECT_EQ(compressed, 0u);  // stored: smaller than any zlib stream
      EXPECT_EQ(size, 3u);        // "OK" and the NUL
      EXPECT_EQ(p.licenceText, "OK");
    } else {
      EXPECT_GT(compressed, 0u);
      EXPECT_LT(compressed, size / 10);
      EXPECT_EQ(size, longText.size() + 200 + 1);  // a CR per line, the NUL
    }
  }
}

TEST(BuildRoundTrip, RegistryRecordsPerRootInRootOrder) {
  ProjectFolder folder;
  PackageListing p = BuildAndRead(folder, MinimalProject(R"(
[[registry]]
root = "HKEY_USERS"
key = '.DEFAULT\Software\Vantorel'
values = { Flag = 1 }
[[registry]]
root = "HKLM"
key = 'Software\Vantorel\Test'
values = { Path = '<Destination>\bin', All = 4294967295, Low = -2147483648, "" = "default=value" }
[[registry]]
root = "HKCR"
key = 'Vantorel.Key'
[[registry]]
root = "HKCU"
key = 'Software\Vantorel\Test'
values = { Name = "Grüße" }
)"));
  ASSERT_EQ(p.registry.size(), 4u);
  EXPECT_EQ(p.registry[0].root, layout::kRootClasses);
  EXPECT_EQ(p.registry[0].path, "Vantorel.Key");
  EXPECT_TRUE(p.registry[0].values.empty());
  EXPECT_EQ(p.registry[1].root, layout::kRootCurrentUser);
  ASSERT_EQ(p.registry[1].values.size(), 1u);
  EXPECT_EQ(p.registry[1].values[0], std::make_pair(1u, std::string("Name=Gr\xFC\xDF"
                                                                    "e")));
  EXPECT_EQ(p.registry[2].root, layout::kRootLocalMachine);
  using Value = std::pair<std::uint32_t, std::string>;
  const std::vector<Value> machine = {
      {1, "=default=value"}, {4, "All=-1"}, {4, "Low=-2147483648"}, {1, "Path=<Destination>\\bin"}};
  EXPECT_EQ(p.registry[2].values, machine);  // names in byte order
  EXPECT_EQ(p.registry[3].root, layout::kRootUsers);
  EXPECT_EQ(p.registry[3].values, std::vector<Value>({{4, "Flag=1"}}));
}

TEST(BuildRoundTrip, Associations) {
  ProjectFolder folder;
  PackageListing p = BuildAndRead(folder, MinimalProject(R"(
[[associations]]
extension = ".vtd"
type = "Vantorel.Document"
description = "Vantorel document"
program = '<Destination>\tool.exe'
[[associations]]
extension = "vtx"
type = "Vantorel.Other"
program = '"C:\Tools\x.exe"'
icon = '<Destination>\icons.dll'
icon-index = -3
)"));
  ASSERT_EQ(p.associations.size(), 2u);
  EXPECT_EQ(p.associations[0].extension, "vtd");
  EXPECT_EQ(p.associations[0].className, "Vantorel.Document");
  EXPECT_EQ(p.associations[0].description, "Vantorel document");
  EXPECT_EQ(p.associations[0].program, "<Destination>\\tool.exe");
  EXPECT_EQ(p.associations[0].icon, "<Destination>\\tool.exe");
  EXPECT_EQ(p.associations[0].iconIndex, 0);
  EXPECT_EQ(p.associations[1].description, "");
  EXPECT_EQ(p.associations[1].program, "\"C:\\Tools\\x.exe\"");
  EXPECT_EQ(p.associations[1].icon, "<Destination>\\icons.dll");
  EXPECT_EQ(p.associations[1].iconIndex, -3);
}

TEST(BuildRoundTrip, SourcesMayNameEnvironmentVariables) {
  ProjectFolder folder;
  folder.Write("out/app.exe", std::string("app"));
  PackageListing p =
      BuildAndRead(folder, MinimalProject(R"(
[[files]]
source = "${VT_TEST_BIN}/app.exe"
[[files]]
source = "${VT_TEST_UNSET:-out}/app.exe"
name = "copy.exe"
)"),
                   {{"VT_TEST_BIN", folder.Path("out")}, {"VT_TEST_UNSET", std::nullopt}});
  ASSERT_EQ(p.files.size(), 2u);
  EXPECT_EQ(p.files[1].fileName, "copy.exe");
}

TEST(BuildRoundTrip, CodePageChoosesTheBytes) {
  ProjectFolder folder;
  PackageListing p = BuildAndRead(folder, "code-page = 1251\n[application]\nname = \"Привет\"\n");
  EXPECT_EQ(p.appName, "\xCF\xF0\xE8\xE2\xE5\xF2");
}

// Code page 932: "表" is 0x95 0x5C and "ソ" 0x83 0x5C, whose second byte is
// "\"; "ポ" is 0x83 0x7C ("|"). "ア" (0x83 0x41) and "ヂ" (0x83 0x61) differ
// only in a second byte that is "A" or "a": they are two names, not one in
// two cases. Every rule walks characters, so all of them pack, and verify
// (with the project's code page) finds them sound.
TEST(BuildRoundTrip, DoubleByteNamesKeepTheirBytes) {
  ProjectFolder folder;
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
    folder.Write(name, std::string(name));
  PackageListing p = BuildAndRead(folder, R"(code-page = 932
[application]
name = "ソフト"
[[files]]
source = "a.txt"
subfolder = "表"
name = "ソフト.txt"
[[files]]
source = "b.txt"
subfolder = "表/ポ"
name = "ポ.txt"
[[files]]
source = "c.txt"
name = "ア.txt"
[[files]]
source = "d.txt"
name = "ヂ.txt"
[[registry]]
root = "HKCU"
key = 'Software\表'
values = { "ソ" = "表" }
[[associations]]
extension = "表"
type = 'ソフト\表'
program = "<Destination>\\ソフト.txt"
)");
  ASSERT_EQ(p.files.size(), 4u);
  EXPECT_EQ(p.appName, "\x83\x5C\x83\x74\x83\x67");
  EXPECT_EQ(p.files[0].subDirectory, "\x95\x5C\\");
  EXPECT_EQ(p.files[0].fileName, "\x83\x5C\x83\x74\x83\x67.txt");
  EXPECT_EQ(p.files[1].subDirectory, "\x95\x5C\\\x83\x7C\\");
  EXPECT_EQ(p.files[1].fileName, "\x83\x7C.txt");
  EXPECT_EQ(p.files[2].fileName, "\x83\x41.txt");
  EXPECT_EQ(p.files[3].fileName, "\x83\x61.txt");
  ASSERT_EQ(p.registry.size(), 1u);
  EXPECT_EQ(p.registry[0].path, "Software\\\x95\x5C");
  RunResult verify = RunVtpack({"verify", "--code-page", "932", folder.Path("Setup.exe")});
  EXPECT_EQ(verify.exitCode, 0) << verify.err;
  // Read as code page 1252, the same bytes hold a "\" in a file name.
  RunResult western = RunVtpack({"verify", folder.Path("Setup.exe")});
  EXPECT_EQ(western.exitCode, 1) << western.out;
}

// A project in a folder whose path holds glob characters: only the source's
// own text is a pattern, not the folder, nor the value of ${...}.
TEST(BuildRoundTrip, GlobsWorkInFoldersNamedWithGlobCharacters) {
  ProjectFolder top;
  const std::string sub = "p[1]*?";
  top.Write(sub + "/a.txt", std::string("a"));
  top.Write(sub + "/b.txt", std::string("b"));
  top.Write(sub + "/lib[x]/c.dll", std::string("c"));
  top.Write(sub + "/project.toml",
            MinimalProject("[[files]]\nsource = \"*.txt\"\n"
                           "[[files]]\nsource = \"${VT_TEST_LIB}/*.dll\"\n"));
  RunResult run =
      RunVtpack({"build", top.Path(sub + "/project.toml"), "-o", top.Path("Setup.exe"), "--stub",
                 top.Path("stub.exe"), "--uninstaller", top.Path("uninst.exe")},
                {{"VT_TEST_LIB", top.Path(sub + "/lib[x]")}});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  auto listing = packer::ReadPackageListing(top.Path("Setup.exe"));
  ASSERT_TRUE(listing.ok());
  ASSERT_EQ(listing.value().files.size(), 3u);
  EXPECT_EQ(listing.value().files[0].fileName, "a.txt");
  EXPECT_EQ(listing.value().files[1].fileName, "b.txt");
  EXPECT_EQ(listing.value().files[2].fileName, "c.dll");
}

// One build folder packed by one [[files]] entry per row: each file keeps
// its folder below the pattern's fixed part (after `subfolder`), in byte
// order of that path ("plugins.txt" before "plugins/"); dot-files match
// like any other name; `exclude` leaves out names at any depth, anchored
// paths and whole folders; what a pattern meets but cannot pack warns.
TEST(BuildRoundTrip, TreesKeepTheirFolders) {
  ProjectFolder folder;
  for (const char* path :
       {"dist/app.exe", "dist/app.pdb", "dist/.portable", "dist/bin/core.dll", "dist/bin/core.pdb",
        "dist/bin/plugins/x.dll", "dist/bin/plugins.txt", "dist/docs/Über uns/read me.txt",
        "dist/.git/HEAD", "dist/.git/objects/ab"})
    folder.Write(path, std::string(path));
  std::filesystem::create_directories(folder.Path("dist/logs"));
  const std::string all =
      ".git\\HEAD .git\\objects\\ab .portable app.exe app.pdb bin\\core.dll bin\\core.pdb "
      "bin\\plugins.txt bin\\plugins\\x.dll docs\\\xDC"
      "ber uns\\read me.txt";
  const std::string empty = "meets 1 empty folder (\"dist/logs\"), which a package cannot carry";
  const struct {
    const char* entry;      // source, exclude, subfolder
    std::string installed;  // the files' paths, blank-separated
    std::string warning;    // part of the one warning, or ""
  } rows[] = {
      {"source = \"dist/**\"", all, empty},
      {"source = \"dist/**\"\nexclude = [\"*.pdb\", \".git/\"]",
       ".portable app.exe bin\\core.dll bin\\plugins.txt bin\\plugins\\x.dll docs\\\xDC"
       "ber uns\\read me.txt",
       empty},
      {"source = \"dist/**/*.dll\"", "bin\\core.dll bin\\plugins\\x.dll", empty},
      {"source = \"dist/*\"", ".portable app.exe app.pdb",
       "\"dist/*\" matches 4 folders, which are not packed; \"dist/**\" packs the folders with all "
       "they hold"},
      {"source = \"dist/*/*.dll\"", "bin\\core.dll", ""},
      {"source = \"dist/bin/**\"\nsubfolder = \"App\"\nexclude = [\"plugins/\"]",
       "App\\core.dll App\\core.pdb App\\plugins.txt", ""},
      {"source = \"dist/**\"\nexclude = [\"/bin/plugins/**\", \"docs\", \"*.pdb\", \".*\", "
       "\"logs/\"]",
       "app.exe bin\\core.dll bin\\plugins.txt", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.entry);
    folder.Write("project.toml", MinimalProject(std::string("[[files]]\n") + row.entry + "\n"));
    RunResult run = BuildIn(folder);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto listing = packer::ReadPackageListing(folder.Path("Setup.exe"), true);
    ASSERT_TRUE(listing.ok());
    std::string installed;
    for (const packer::ListedFile& f : listing.value().files) {
      installed += (installed.empty() ? "" : " ") + f.subDirectory + f.fileName;
      std::string content(f.content.begin(), f.content.end());  // its source's path
      EXPECT_EQ(content.substr(content.size() - f.fileName.size()), f.fileName);
    }
    EXPECT_EQ(installed, row.installed);
    std::size_t warnings = 0;
    for (std::size_t at = run.err.find(": warning: "); at != std::string::npos;
         at = run.err.find(": warning: ", at + 1))
      ++warnings;
    EXPECT_EQ(warnings, row.warning.empty() ? 0u : 1u) << run.err;
    EXPECT_NE(run.err.find(row.warning), std::string::npos) << run.err;
  }
}

// Every text takes ${...}: -D before the environment, fallbacks for what
// neither sets, $$ for a "$". The publisher and the web address go under
// the application's Uninstall key, as records of HKEY_LOCAL_MACHINE.
TEST(BuildRoundTrip, VariablesInEveryTextAndTheUninstallEntry) {
  ProjectFolder folder;
  folder.Write("out/tool.exe", std::string("tool"));
  folder.Write("project.toml", R"([application]
name = "${APP_NAME:-Tool}"
version = "${APP_VERSION:-0.0.0}"
publisher = "${VENDOR} $$ Co"
url = "https://${HOST}/tool"
[[files]]
source = "out/*.exe"
subfolder = "${VT_TEST_UNSET:-bin}"
[[registry]]
root = "HKCU"
key = 'Software\${VENDOR}'
values = { Version = "${APP_VERSION}", Price = "$5" }
[[associations]]
extension = "tl"
type = "Tool.${APP_VERSION}"
description = "${VENDOR} document"
program = '<Destination>\bin\tool.exe'
)");
  RunResult run = BuildIn(folder, "project.toml", "Setup.exe",
                          {"-D", "APP_VERSION=2.1.3", "-D", "HOST=example.com"},
                          {{"VENDOR", std::string("Acme")},
                           {"HOST", std::string("ignored")},
                           {"APP_NAME", std::nullopt},
                           {"VT_TEST_UNSET", std::nullopt}});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  auto listing = packer::ReadPackageListing(folder.Path("Setup.exe"));
  ASSERT_TRUE(listing.ok());
  const PackageListing& p = listing.value();
  EXPECT_EQ(p.appName, "Tool");
  EXPECT_EQ(p.appVersion, "2.1.3");
  ASSERT_EQ(p.files.size(), 1u);
  EXPECT_EQ(p.files[0].subDirectory, "bin\\");
  ASSERT_EQ(p.registry.size(), 2u);
  using Value = std::pair<std::uint32_t, std::string>;
  EXPECT_EQ(p.registry[0].path, "Software\\Acme");
  EXPECT_EQ(p.registry[0].values, std::vector<Value>({{1, "Price=$5"}, {1, "Version=2.1.3"}}));
  EXPECT_EQ(p.registry[1].root, layout::kRootLocalMachine);
  EXPECT_EQ(p.registry[1].path, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool");
  EXPECT_EQ(p.registry[1].values,
            std::vector<Value>(
                {{1, "Publisher=Acme $ Co"}, {1, "URLInfoAbout=https://example.com/tool"}}));
  ASSERT_EQ(p.associations.size(), 1u);
  EXPECT_EQ(p.associations[0].className, "Tool.2.1.3");
  EXPECT_EQ(p.associations[0].description, "Acme document");
}

// examples/tree: one entry packs the folder with its folders and its
// dot-file, without the debug symbols.
TEST(BuildRoundTrip, TheTreeExampleIsOneEntry) {
  ProjectFolder folder;
  RunResult run = BuildIn(folder, SOURCE_DIR "/examples/tree/project.toml", "Setup.exe",
                          {"-D", "APP_VERSION=1.2.0"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  auto listing = packer::ReadPackageListing(folder.Path("Setup.exe"));
  ASSERT_TRUE(listing.ok());
  std::string installed;
  for (const packer::ListedFile& f : listing.value().files)
    installed += f.subDirectory + f.fileName + " ";
  EXPECT_EQ(
      installed,
      ".portable config\\defaults.ini docs\\User Guide.txt docs\\\xDC"
      "ber das Programm.txt "
      "lang\\de\\messages.txt lang\\fr\\messages.txt plugins\\export\\manifest.ini readme.txt "
      "themes\\dark\\colours.ini ");
  EXPECT_EQ(listing.value().appVersion, "1.2.0");
}
