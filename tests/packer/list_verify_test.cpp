// vtpack list and vtpack verify on packages vtpack wrote, and on the same
// packages damaged the ways a download or a hand-made package can be.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/little_endian.h"
#include "package/layout.h"
#include "packer/file_io.h"
#include "stand_in_image.h"
#include "vtpack_runner.h"

using namespace packer_test;

namespace {

// A sound package with a bit of everything; returns its bytes.
packer::Bytes BuildSample(const ProjectFolder& folder) {
  folder.Write("bin/tool.exe", std::string(3000, 'T'));
  folder.SetModified("bin/tool.exe", 977000687);
  folder.Write("licence.txt", std::string("Terms\n"));
  folder.Write("project.toml", MinimalProject(R"(version = "3.1"
program = "tool.exe"
licence = "licence.txt"
[[files]]
source = "bin/tool.exe"
subfolder = "Bin"
version = "3.1.0.7"
shared = true
replace-if-in-use = true
[[registry]]
root = "HKLM"
key = 'Software\Test'
values = { Path = '<Destination>', Count = 3 }
[[associations]]
extension = "tst"
type = "Test.File"
description = "Test file"
program = '<Destination>\Bin\tool.exe'
)"));
  RunResult run = BuildIn(folder);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return folder.Read("Setup.exe");
}

void Store(packer::Bytes& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

TEST(ListVerify, ListShowsWhatThePackageHolds) {
  ProjectFolder folder;
  BuildSample(folder);
  RunResult run = RunVtpack({"list", folder.Path("Setup.exe")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const char* expected :
       {"Architecture: x86 (32-bit setup program)\n", "AppName                 \"Test App\"",
        "AppVersion              \"3.1\"", "ProgramFileName         \"tool.exe\"",
        "HasLicence              yes (7 bytes of text)", "RunProgramAtEnd         no", "Files: 1",
        "      3000  3.1.0.7          2000-12-16 21:04:47  app            Bin\\tool.exe  "
        "[replace-if-in-use shared]",
        "Registry: 1 keys", "  HKEY_LOCAL_MACHINE\\Software\\Test", "    number  Count=3",
        "    text    Path=<Destination>", "Associations: 1",
        "  .tst  \"Test.File\"  \"Test file\"  program \"<Destination>\\Bin\\tool.exe\"  icon "
        "\"<Destination>\\Bin\\tool.exe\",0"}) {
    EXPECT_NE(run.out.find(expected), std::string::npos) << "missing: " << expected << "\n"
                                                         << run.out;
  }
}

TEST(ListVerify, VerifyAcceptsWhatVtpackWrites) {
  ProjectFolder folder;
  BuildSample(folder);
  RunResult run = RunVtpack({"verify", folder.Path("Setup.exe")});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("sound: 1 files, 1 registry keys, 1 associations"), std::string::npos)
      << run.out;
}

TEST(ListVerify, AppNameWithoutNulIsReadBoundedAndRejected) {
  ProjectFolder folder;
  packer::Bytes setup = BuildSample(folder);
  std::size_t header = LoadU32(&setup[setup.size() - 4]);
  for (int i = 0; i < layout::kTextFieldSize; ++i) setup[header + i] = 'A';  // no NUL in 31 bytes
  folder.Write("Setup.exe", setup);
  RunResult list = RunVtpack({"list", folder.Path("Setup.exe")});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  EXPECT_NE(list.out.find("AppName                 \"" + std::string(30, 'A') + "\"\n"),
            std::string::npos)
      << list.out;
  RunResult verify = RunVtpack({"verify", folder.Path("Setup.exe")});
  EXPECT_EQ(verify.exitCode, 1);
  EXPECT_NE(verify.err.find("AppName fills its 31 bytes without a NUL"), std::string::npos)
      << verify.err;
}

TEST(ListVerify, TruncatedPackagesFailWithTheReadMessage) {
  ProjectFolder folder;
  packer::Bytes setup = BuildSample(folder);
  // Cut inside the header, the licence, the uninstaller, the records and the
  // registry: the trailer is kept, so the reader runs into the cut.
  for (std::size_t keep : {std::size_t{600}, std::size_t{700}, setup.size() / 2, setup.size() - 40,
                           setup.size() - 8}) {
    packer::Bytes cut(setup.begin(), setup.begin() + static_cast<long>(keep) - 4);
    cut.insert(cut.end(), setup.end() - 4, setup.end());
    folder.Write("Cut.exe", cut);
    for (const char* command : {"list", "verify"}) {
      RunResult run = RunVtpack({command, folder.Path("Cut.exe")});
      EXPECT_EQ(run.exitCode, 1) << command << " " << keep;
      EXPECT_NE(run.err.find("Error reading from the file '" + folder.Path("Cut.exe") + "'."),
                std::string::npos)
          << command << " " << keep << ": " << run.err;
      EXPECT_TRUE(run.out.empty() || std::string(command) == "list") << run.out;
    }
  }
}

TEST(ListVerify, CorruptedStreamFailsWithTheUncompressMessage) {
  ProjectFolder folder;
  packer::Bytes setup = BuildSample(folder);
  std::size_t licence =
      LoadU32(&setup[setup.size() - 4]) + layout::kHeaderSize;  // stored: "Terms", CR LF, NUL
  std::size_t uninstaller = licence + layout::kStoredBlockFramingSize + 8;
  setup[uninstaller + layout::kStoredBlockFramingSize + 5] ^= 0x55;  // inside the deflate data
  folder.Write("Bad.exe", setup);
  RunResult run = RunVtpack({"verify", folder.Path("Bad.exe")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("There was an error uncompressing the data."), std::string::npos)
      << run.err;
}

TEST(ListVerify, VerifyFindsWhatTheReaderTolerates) {
  ProjectFolder folder;
  packer::Bytes sound = BuildSample(folder);
  std::size_t uninstallerBlock =
      LoadU32(&sound[sound.size() - 4]) + layout::kHeaderSize + layout::kStoredBlockFramingSize + 8;
  struct Damage {
    const char* name;
    void (*apply)(packer::Bytes&, std::size_t);
    const char* expected;
  } damages[] = {
      {"bytes before the trailer",
       [](packer::Bytes& b, std::size_t) {
         b.insert(b.end() - 4, {1, 2, 3});
       },
       "3 bytes lie between the associations and the trailer"},
      {"uninstaller shorter than declared",
       [](packer::Bytes& b, std::size_t block) {
         Store(b, block + 4, UninstallerImage().size() + 10);
       },
       "the uninstaller inflates to 842 bytes, not the 852 its block declares"},
      {"a setup program for another processor (ARM64)",
       [](packer::Bytes& b, std::size_t) {
         b[support::kNtHeaders + 4] = 0x64;  // Machine
         b[support::kNtHeaders + 5] = 0xAA;
       },
       "the setup program is for neither x86 nor x64"},
  };
  for (const Damage& damage : damages) {
    packer::Bytes setup = sound;
    damage.apply(setup, uninstallerBlock);
    folder.Write("Damaged.exe", setup);
    RunResult run = RunVtpack({"verify", folder.Path("Damaged.exe")});
    EXPECT_EQ(run.exitCode, 1) << damage.name;
    EXPECT_NE(run.err.find(damage.expected), std::string::npos) << damage.name << ": " << run.err;
  }
}

// Signed as an Authenticode tool signs: a certificate table appended (the
// file is a multiple of 8 long already) and named by the image's security
// entry. list and verify read the package in front of it and say so.
TEST(ListVerify, SignedSetupIsReadAndSaidToBeSigned) {
  ProjectFolder folder;
  packer::Bytes setup = BuildSample(folder);
  ASSERT_EQ(setup.size() % 8, 0u);
  auto put = [&setup](std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) setup[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  put(support::SecurityEntryOffset(), static_cast<std::uint32_t>(setup.size()));
  put(support::SecurityEntryOffset() + 4, 64);
  setup.resize(setup.size() + 64, 0x5A);
  folder.Write("Signed.exe", setup);
  RunResult list = RunVtpack({"list", folder.Path("Signed.exe")});
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_NE(list.out.find("bytes, signed (Authenticode"), std::string::npos) << list.out;
  RunResult verify = RunVtpack({"verify", folder.Path("Signed.exe")});
  EXPECT_EQ(verify.exitCode, 0) << verify.err;
  EXPECT_NE(verify.out.find("; signed\n"), std::string::npos) << verify.out;
  RunResult plain = RunVtpack({"verify", folder.Path("Setup.exe")});
  EXPECT_NE(plain.out.find("; not signed\n"), std::string::npos) << plain.out;
}

// A per-user package (one vtpack init --user writes): the setup program
// given, with a manifest that runs it as the invoking user and no other
// byte changed but the checksum, and the per-user uninstaller. list, verify
// and --json say who it installs for; a machine package says so too.
TEST(ListVerify, PerUserPackageSaysWhoItInstallsFor) {
  ProjectFolder folder;
  const std::string stub = std::string(PACKER_FIXTURES) + "/machine_manifest-i686.exe";
  const std::string uninstaller = std::string(PACKER_FIXTURES) + "/per_user_manifest-i686.exe";
  folder.Write("app/app.exe", std::string("program"));
  RunResult init =
      RunVtpack({"init", folder.Path("app"), "--user", "-o", folder.Path("user.toml")});
  ASSERT_EQ(init.exitCode, 0) << init.err;
  RunResult run = BuildIn(folder, "user.toml", "Setup.exe", {}, {}, nullptr, stub, uninstaller);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const packer::Bytes setup = folder.Read("Setup.exe");
  const packer::Bytes original = packer::ReadFileBytes(stub).value();
  const std::string text(setup.begin(), setup.end()), machine = "level=\"requireAdministrator\" ";
  const std::size_t level = text.find("level=\"asInvoker\"            uiAccess=");
  ASSERT_NE(level, std::string::npos);
  EXPECT_EQ(std::string(original.begin() + level, original.begin() + level + 29), machine);
  const std::size_t checksum = LoadU32(&original[0x3C]) + 24 + 64;
  for (std::size_t i = 0; i < original.size(); ++i) {
    if ((i < level || i >= level + machine.size()) && (i < checksum || i >= checksum + 4)) {
      ASSERT_EQ(setup[i], original[i]) << "byte " << i;
    }
  }
  RunResult list = RunVtpack({"list", folder.Path("Setup.exe")});
  EXPECT_NE(list.out.find("\nScope: user (runs as the user who starts it"), std::string::npos)
      << list.out;
  RunResult json = RunVtpack({"verify", "--json", folder.Path("Setup.exe")});
  EXPECT_EQ(json.exitCode, 0) << json.err;
  EXPECT_NE(json.out.find("\"scope\": \"user\""), std::string::npos) << json.out;
  BuildSample(folder);
  json = RunVtpack({"list", "--json", folder.Path("Setup.exe")});
  EXPECT_NE(json.out.find("\"scope\": \"machine\""), std::string::npos) << json.out;
}

TEST(ListVerify, MissingFileIsReported) {
  RunResult run = RunVtpack({"verify", "/nonexistent/Setup.exe"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("/nonexistent/Setup.exe: No such file or directory"), std::string::npos)
      << run.err;
}

// The setup program refuses a package whose trailer points into its own
// program image; verify and list use the same rule and say that the file
// holds no package. Here the stub's one section is stretched over the whole
// package, so the package's bytes are all intact but lie inside the image.
TEST(ListVerify, FilesWithoutAPackageSaySo) {
  ProjectFolder folder;
  packer::Bytes setup = BuildSample(folder);
  ASSERT_EQ(RunVtpack({"verify", folder.Path("Setup.exe")}).exitCode, 0);
  const std::size_t section = support::SectionHeaderOffset(0);  // the stub's one section
  std::uint32_t rawSize = static_cast<std::uint32_t>(setup.size() - 4 - support::kHeadersSize);
  for (int i = 0; i < 4; ++i)
    setup[section + 16 + i] = static_cast<std::uint8_t>(rawSize >> (8 * i));
  folder.Write("Inside.exe", setup);
  for (const char* command : {"list", "verify"}) {
    RunResult run = RunVtpack({command, folder.Path("Inside.exe")});
    EXPECT_EQ(run.exitCode, 1) << command << ": " << run.out;
    EXPECT_EQ(
        run.err,
        "vtpack: " + folder.Path("Inside.exe") +
            ": holds no package: its last bytes point to no package behind its program image\n");
  }
  // A program never packed, one whose PE headers are cut, and no program.
  packer::Bytes noHeaders = BuildSample(folder);
  noHeaders[0x3C] = 0xF0;  // e_lfanew far beyond the file
  noHeaders[0x3D] = 0xFF;
  noHeaders[0x3E] = 0xFF;
  folder.Write("NoHeaders.exe", noHeaders);
  folder.Write("readme.txt", std::string("not a program"));
  const std::pair<const char*, const char*> others[] = {
      {"stub.exe", "holds no package: nothing follows its program image"},
      {"NoHeaders.exe", "holds no package: it is not a Windows program whose headers can be read"},
      {"readme.txt", "holds no package: it is not a Windows program whose headers can be read"}};
  for (const auto& [name, expected] : others) {
    RunResult run = RunVtpack({"list", folder.Path(name)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "vtpack: " + folder.Path(name) + ": " + expected + "\n");
  }
}

TEST(ListVerify, OnlyWindowsAnsiCodePages) {
  ProjectFolder folder;
  BuildSample(folder);
  for (const char* codePage : {"500", "437", "65001"}) {
    for (const char* command : {"list", "verify"}) {
      RunResult run = RunVtpack({command, "--code-page", codePage, folder.Path("Setup.exe")});
      EXPECT_EQ(run.exitCode, 1) << command << " " << codePage;
      EXPECT_NE(run.err.find("is not a Windows ANSI code page"), std::string::npos) << run.err;
    }
  }
}

// A FIFO or device given to list or verify is refused at once, never read.
TEST(ListVerify, NonRegularFilesAreRefusedWithoutBlocking) {
  ProjectFolder folder;
  ASSERT_EQ(::mkfifo(folder.Path("pipe.exe").c_str(), 0644), 0);
  for (const char* command : {"list", "verify"}) {
    RunOptions options;
    options.timeoutSeconds = 20;
    RunResult run = RunVtpack({command, folder.Path("pipe.exe")}, {}, VtpackUnderTest(), &options);
    ASSERT_NE(run.exitCode, kTimedOut) << command << " hung";
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("is a FIFO, not a regular file"), std::string::npos) << run.err;
    run = RunVtpack({command, "/dev/zero"}, {}, VtpackUnderTest(), &options);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("is a character device, not a regular file"), std::string::npos)
        << run.err;
  }
}
