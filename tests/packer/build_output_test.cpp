// The setup file as a whole: reproducible, all or nothing, and made from the
// program images that vtpack finds or is given.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "packer/file_io.h"
#include "packer/setup_file/package_listing.h"
#include "vtpack_runner.h"

using namespace packer_test;

namespace {

// A project with text, incompressible data and a licence.
void WriteSampleProject(const ProjectFolder& folder) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i) + " of a text file\n";
  folder.Write("data/text.txt", text);
  std::mt19937 random(7);
  packer::Bytes noise(50000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  folder.Write("data/noise.bin", noise);
  folder.Write("licence.txt", std::string("Licence\nterms\n"));
  folder.Write("project.toml",
               MinimalProject("licence = \"licence.txt\"\n[[files]]\nsource = \"data/*\"\n"));
}

}  // namespace

TEST(BuildOutput, SameInputsGiveIdenticalBytes) {
  ProjectFolder folder;
  WriteSampleProject(folder);
  ASSERT_EQ(BuildIn(folder, "project.toml", "one.exe").exitCode, 0);
  // Time passes, the files are read again in another order of the folder.
  folder.SetModified("licence.txt", 1000);
  ASSERT_EQ(BuildIn(folder, "project.toml", "two.exe").exitCode, 0);
  EXPECT_EQ(folder.Read("one.exe"), folder.Read("two.exe"));
}

TEST(BuildOutput, SourceDateEpochMakesBuildsOfTouchedFilesIdentical) {
  ProjectFolder folder;
  WriteSampleProject(folder);
  std::map<std::string, std::optional<std::string>> epoch = {
      {"SOURCE_DATE_EPOCH", std::string("1000000000")}};
  ASSERT_EQ(BuildIn(folder, "project.toml", "one.exe", {}, epoch).exitCode, 0);
  folder.SetModified("data/text.txt", 1700000000);
  ASSERT_EQ(BuildIn(folder, "project.toml", "two.exe", {}, epoch).exitCode, 0);
  EXPECT_EQ(folder.Read("one.exe"), folder.Read("two.exe"));
}

TEST(BuildOutput, CompressionLevelsAllReadBackAndShrink) {
  ProjectFolder folder;
  WriteSampleProject(folder);
  std::map<std::string, std::uintmax_t> sizes;
  for (const char* option : {"", "--best", "--zopfli"}) {
    std::vector<std::string> extra;
    if (*option) extra.push_back(option);
    std::string output = std::string("setup") + option + ".exe";
    ASSERT_EQ(BuildIn(folder, "project.toml", output, extra).exitCode, 0) << option;
    auto listing = packer::ReadPackageListing(folder.Path(output), true);
    ASSERT_TRUE(listing.ok()) << option;
    ASSERT_EQ(listing.value().files.size(), 2u);
    EXPECT_EQ(listing.value().files[1].content, folder.Read("data/text.txt")) << option;
    sizes[option] = std::filesystem::file_size(folder.Path(output));
  }
  EXPECT_LE(sizes["--best"], sizes[""]);
  EXPECT_LE(sizes["--zopfli"], sizes["--best"]);
}

TEST(BuildOutput, BestAndZopfliExcludeEachOther) {
  ProjectFolder folder;
  WriteSampleProject(folder);
  RunResult run = BuildIn(folder, "project.toml", "Setup.exe", {"--best", "--zopfli"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_FALSE(folder.Exists("Setup.exe"));
}

// A usage error is one line with vtpack's prefix that names what is wrong,
// and exit code 1.
TEST(BuildOutput, UsageErrorsExitWithOne) {
  const std::pair<std::vector<std::string>, const char*> rows[] = {
      {{}, "a command is needed: build, list, verify, init or manifest (vtpack --help)"},
      {{"biuld", "x.toml"},
       "unknown command 'biuld'; the commands are build, list, verify, init and manifest (vtpack "
       "--help)"},
      {{"build"}, "project is required (vtpack build --help)"},
      {{"build", "x.toml", "--fast"},
       "the following argument was not expected: --fast (vtpack build --help)"},
      {{"build", "-D", "VERSION", "x.toml"}, "-D \"VERSION\" is not NAME=VALUE"},
      {{"build", "x.toml", "-D", "2X=1"}, "-D \"2X\" is not a variable name"},
      {{"list"}, "setup is required (vtpack list --help)"},
      {{"init"}, "folder is required (vtpack init --help)"},
  };
  for (const auto& [args, expected] : rows) {
    RunResult run = RunVtpack(args);
    EXPECT_EQ(run.exitCode, 1) << expected;
    EXPECT_EQ(run.err.rfind(std::string("vtpack: ") + expected, 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
  RunResult help = RunVtpack({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("build"), std::string::npos);
}

TEST(BuildOutput, FailedBuildKeepsThePreviousOutput) {
  ProjectFolder folder;
  folder.Write("Setup.exe", std::string("previous setup"));
  folder.Write("project.toml", MinimalProject("[[files]]\nsource = \"missing.txt\"\n"));
  EXPECT_EQ(BuildIn(folder).exitCode, 1);
  packer::Bytes kept = folder.Read("Setup.exe");
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "previous setup");
}

TEST(BuildOutput, UnwritableOutputFolderFailsCleanly) {
  ProjectFolder folder;
  folder.Write("project.toml", MinimalProject());
  RunResult run = BuildIn(folder, "project.toml", "no/such/folder/Setup.exe");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("cannot create a file in"), std::string::npos) << run.err;
}

TEST(BuildOutput, OutputIsExecutableLikeAnyProgram) {
  ProjectFolder folder;
  folder.Write("project.toml", MinimalProject());
  ASSERT_EQ(BuildIn(folder).exitCode, 0);
  struct stat info {};
  ASSERT_EQ(::stat(folder.Path("Setup.exe").c_str(), &info), 0);
  EXPECT_TRUE(info.st_mode & S_IXUSR);
  EXPECT_TRUE(info.st_mode & S_IRGRP);
}

TEST(BuildOutput, ProgramImagesMustBeWindowsPrograms) {
  ProjectFolder folder;
  folder.Write("project.toml", MinimalProject());
  folder.Write("text.exe", std::string(100, 'x'));
  struct Case {
    const char* stub;
    const char* uninstaller;
    std::string expected;
  } cases[] = {
      {"text.exe", "uninst.exe",
       "the setup program \"" + folder.Path("text.exe") + "\" is not a Windows program"},
      {"none.exe", "uninst.exe",
       "the setup program \"" + folder.Path("none.exe") + "\" cannot be read: No such file"},
      {"stub.exe", "text.exe",
       "the uninstaller \"" + folder.Path("text.exe") + "\" is not a Windows program"},
  };
  for (const Case& c : cases) {
    RunResult run =
        RunVtpack({"build", folder.Path("project.toml"), "-o", folder.Path("Setup.exe"), "--stub",
                   folder.Path(c.stub), "--uninstaller", folder.Path(c.uninstaller)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(c.expected), std::string::npos) << run.err;
    EXPECT_FALSE(folder.Exists("Setup.exe"));
  }
}

// Without --stub and --uninstaller: the programs beside vtpack (build/dist),
// else those in ../share/vantorel from its folder (an installed vtpack).
TEST(BuildOutput, ProgramImagesComeFromBesideVtpackOrItsShareFolder) {
  ProjectFolder folder;
  folder.Write("project.toml", MinimalProject());
  std::filesystem::create_directory(folder.Path("bin"));
  std::filesystem::copy_file(VtpackUnderTest(), folder.Path("bin/vtpack"));
  std::filesystem::permissions(folder.Path("bin/vtpack"), std::filesystem::perms::owner_all);
  std::vector<std::string> args = {"build", folder.Path("project.toml"), "-o",
                                   folder.Path("Setup.exe")};
  auto packedUninstaller = [&] {
    RunResult run = RunVtpack(args, {}, folder.Path("bin/vtpack"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    auto listing = packer::ReadPackageListing(folder.Path("Setup.exe"));
    return listing.ok() ? listing.value().uninstaller : packer::Bytes();
  };

  RunResult missing = RunVtpack(args, {}, folder.Path("bin/vtpack"));
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("vtsetup.exe is neither beside vtpack (\"" +
                             folder.Path("bin/vtsetup.exe") + "\") nor at \"" +
                             folder.Path("share/vantorel/vtsetup.exe") + "\"; name it with --stub"),
            std::string::npos)
      << missing.err;

  packer::Bytes installed = UninstallerImage();
  installed.push_back('i');
  folder.Write("share/vantorel/vtsetup.exe", StubImage());
  folder.Write("share/vantorel/VTUnInst.exe", installed);
  EXPECT_EQ(packedUninstaller(), installed);
  folder.Write("bin/VTUnInst.exe", UninstallerImage());
  EXPECT_EQ(packedUninstaller(), UninstallerImage());
}

// The architecture picks the programs and is read back from the setup file:
// 64-bit files in a 32-bit package warn, naming them (as many as a warning
// lists) and the fix; in a 64-bit package, around the 64-bit programs,
// vtpack looks for vtsetup64.exe and they pass.
TEST(BuildOutput, TheArchitectureChoosesTheProgramsAndWarnsOfFilesForAnother) {
  ProjectFolder folder;
  const std::string fixtures = PACKER_FIXTURES;
  const packer::Bytes program = packer::ReadFileBytes(fixtures + "/plain-x86_64.exe").value();
  for (const char* name : {"bin/a.exe", "bin/b.dll", "bin/c.exe", "bin/d.exe"})
    folder.Write(name, program);
  folder.Write("bin/readme.txt", std::string("not a program"));
  const std::string files = "[[files]]\nsource = \"bin/*\"\n";
  folder.Write("project.toml", MinimalProject(files));
  RunResult run = BuildIn(folder);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find(": files[1].source: \"" + folder.Path("bin/a.exe") + "\", \"" +
                         folder.Path("bin/b.dll") + "\", \"" + folder.Path("bin/c.exe") +
                         "\" and 1 more are 64-bit (x64), and the package is 32-bit: its setup "
                         "program installs a 32-bit application (Program Files (x86), the 32-bit "
                         "registry view, the 32-bit RegSvr32); set architecture = \"x64\" in "
                         "[application]\n"),
            std::string::npos)
      << run.err;
  ASSERT_EQ(packer::ReadSetupArchitecture(folder.Path("Setup.exe")).value(),
            packer::Architecture::kX86);

  folder.Write("project.toml", MinimalProject("architecture = \"x64\"\n" + files));
  run = RunVtpack({"build", folder.Path("project.toml"), "-o", folder.Path("Setup.exe")});
  EXPECT_NE(run.err.find("vtsetup64.exe is neither beside vtpack"), std::string::npos) << run.err;
  run =
      BuildIn(folder, "project.toml", "Setup.exe", {}, {}, nullptr, fixtures + "/plain-x86_64.exe");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err.find("warning"), std::string::npos) << run.err;
  ASSERT_EQ(packer::ReadSetupArchitecture(folder.Path("Setup.exe")).value(),
            packer::Architecture::kX64);
  run = RunVtpack({"list", "--json", folder.Path("Setup.exe")});
  EXPECT_NE(run.out.find("\"architecture\": \"x64\",\n"), std::string::npos) << run.out;
}

// On a terminal, build keeps one line of progress on stderr, the files and
// bytes read of the total and the bytes written, and blanks it out before it
// ends; into a file or a pipe it writes one summary line at the end.
TEST(BuildOutput, ProgressShowsOnATerminalSummaryElsewhere) {
  ProjectFolder folder;
  WriteSampleProject(folder);
  RunOptions terminal;
  terminal.errorsToTerminal = true;
  RunResult run = BuildIn(folder, "project.toml", "Setup.exe", {}, {}, &terminal);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("\rvtpack: 2 of 2 files, 98.9 kB of 98.9 kB read (100 %), "),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find(" kB written, "), std::string::npos) << run.err;
  std::string screen;  // the terminal's line at the end
  std::size_t column = 0;
  for (char c : run.err) {
    if (c == '\r') {
      column = 0;
      continue;
    }
    screen.resize(std::max(screen.size(), column + 1));
    screen[column++] = c;
  }
  EXPECT_EQ(screen.find_first_not_of(' '), std::string::npos) << screen;
  std::string summary = BuildIn(folder, "project.toml", "Piped.exe").err;
  EXPECT_EQ(summary.rfind("vtpack: 2 files, 98.9 kB in, ", 0), 0u) << summary;
  EXPECT_NE(summary.find(" kB out, "), std::string::npos) << summary;
  EXPECT_EQ(summary.substr(summary.size() - 3), " s\n") << summary;
  EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), 1) << summary;
}

TEST(BuildOutput, BadSourceDateEpochIsRefused) {
  ProjectFolder folder;
  folder.Write("project.toml", MinimalProject());
  RunResult run = BuildIn(folder, "project.toml", "Setup.exe", {},
                          {{"SOURCE_DATE_EPOCH", std::string("yesterday")}});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("SOURCE_DATE_EPOCH \"yesterday\""), std::string::npos) << run.err;
  EXPECT_FALSE(folder.Exists("Setup.exe"));
}

TEST(BuildOutput, MissingProjectFileIsReported) {
  ProjectFolder folder;
  RunResult run = BuildIn(folder, "nothing.toml");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(
      run.err.find(folder.Path("nothing.toml") + ": cannot be read: No such file or directory"),
      std::string::npos)
      << run.err;
  EXPECT_FALSE(folder.Exists("Setup.exe"));
}

TEST(BuildOutput, FileDataBeyondWhatTheLayoutHoldsIsRefused) {
  ProjectFolder folder;
  folder.Write("small.bin", std::string(1000, 's'));
  folder.Write("z-huge.bin", std::string());
  // Sparse, and after small.bin: refused from its size, before it is read.
  std::filesystem::resize_file(folder.Path("z-huge.bin"), (std::uint64_t{1} << 32) - 999);
  folder.Write("project.toml", MinimalProject("[[files]]\nsource = \"*.bin\"\n"));
  RunResult run = BuildIn(folder);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(
      run.err.find(
          "files[1].source: \"" + folder.Path("z-huge.bin") +
          "\" brings the files to more than 4294967295 bytes (4 GiB), the most a package holds"),
      std::string::npos)
      << run.err;
  EXPECT_FALSE(folder.Exists("Setup.exe"));
}

// An output that is a symbolic link is written where the link points, as cp
// would: the link stays, its target gets the setup file.
TEST(BuildOutput, OutputThroughASymbolicLinkWritesItsTarget) {
  ProjectFolder folder;
  WriteSampleProject(folder);
  folder.Write("dist/old.exe", std::string("old"));
  ASSERT_EQ(::symlink("dist/old.exe", folder.Path("Setup.exe").c_str()), 0);
  RunResult run = BuildIn(folder, "project.toml", "Setup.exe");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(std::filesystem::is_symlink(folder.Path("Setup.exe")));
  EXPECT_EQ(RunVtpack({"verify", folder.Path("dist/old.exe")}).exitCode, 0);
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path("dist")))
    EXPECT_EQ(entry.path().filename(), "old.exe") << "left behind";
}

// Each file's buffer is sized from the file: 4,000 small files take a few
// MB, not 64 KiB each (which was 250 MB here). The bound leaves room for the
// sanitizers' own memory.
TEST(BuildOutput, ManySmallFilesTakeLittleMemory) {
  ProjectFolder folder;
  for (int i = 0; i < 4000; ++i)
    folder.Write("many/f" + std::to_string(i) + ".txt", "file " + std::to_string(i));
  folder.Write("project.toml", MinimalProject("[[files]]\nsource = \"many/*.txt\"\n"));
  RunResult run = BuildIn(folder);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_LT(run.peakMemoryKiB, 150 * 1024) << "peak " << run.peakMemoryKiB << " KiB";
}

// With the destination page shown, the user may choose a longer folder than
// the standard one: vtpack builds, and warns how long it may be.
TEST(BuildOutput, LongPathsWarnWhenTheUserMayChooseTheFolder) {
  ProjectFolder folder;
  folder.Write("f.txt", std::string("x"));
  std::string project =
      MinimalProject("[[files]]\nsource = \"f.txt\"\nsubfolder = \"" + std::string(150, 'd') +
                     "\"\nname = \"" + std::string(40, 'n') + "\"\n");
  folder.Write("project.toml", project);
  RunResult run = BuildIn(folder);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("vtpack: warning: " + folder.Path("project.toml") +
                         ": line 4: files[1].source: \"" + folder.Path("f.txt") +
                         "\" fails to install when the folder chosen on the destination "
                         "page is longer than 67 characters"),
            std::string::npos)
      << run.err;
  folder.Write("project.toml", project + "[setup]\ndestination-page = false\n");
  run = BuildIn(folder);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err.find("warning"), std::string::npos) << run.err;
}

// With the shortcuts page hidden setup makes all three shortcuts, the
// Startup one too: the package builds, and vtpack says so.
TEST(BuildOutput, HiddenShortcutsPageWarnsOfTheStartupShortcut) {
  ProjectFolder folder;
  folder.Write("project.toml", MinimalProject("[setup]\nshortcuts-page = false\n"));
  RunResult run = BuildIn(folder);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err.substr(0, run.err.find('\n') + 1),
            "vtpack: warning: " + folder.Path("project.toml") +
                ": line 4: setup.shortcuts-page: is false: setup then "
                "makes all three shortcuts, in the Programs menu, on the desktop and in the "
                "Startup folder, so the program "
                "starts at every logon; the package has no place for another choice\n");
}

// vtpack init DIR: a project named after the folder that packs all of it,
// with the program at its top (the one named like the folder) and its
// version; it builds as it stands, and init never writes over a file.
TEST(BuildOutput, InitWritesAProjectThatBuilds) {
  ProjectFolder folder;
  const std::string fixtures = PACKER_FIXTURES;
  std::filesystem::create_directories(folder.Path("My App $2/lib"));
  std::filesystem::copy_file(fixtures + "/versioned-i686.exe",
                             folder.Path("My App $2/my app $2.exe"));
  std::filesystem::copy_file(fixtures + "/plain-i686.exe", folder.Path("My App $2/helper.exe"));
  folder.Write("My App $2/lib/x.dll", std::string("x"));
  folder.Write("My App $2/symbols.pdb", std::string("p"));
  folder.Write("My App $2/.git/HEAD", std::string("g"));
  RunResult init = RunVtpack({"init", folder.Path("My App $2"), "-o", folder.Path("project.toml")});
  ASSERT_EQ(init.exitCode, 0) << init.err;
  packer::Bytes text = folder.Read("project.toml");
  EXPECT_NE(std::string(text.begin(), text.end()).find("source = \"My App $$2/**\""),
            std::string::npos);
  RunResult build = BuildIn(folder);
  ASSERT_EQ(build.exitCode, 0) << build.err;
  auto listing = packer::ReadPackageListing(folder.Path("Setup.exe"));
  ASSERT_TRUE(listing.ok());
  EXPECT_EQ(listing.value().appName, "My App $2");
  EXPECT_EQ(listing.value().programFileName, "my app $2.exe");
  EXPECT_EQ(listing.value().appVersion, "6.0.84.18");
  std::string installed;
  for (const packer::ListedFile& f : listing.value().files)
    installed += f.subDirectory + f.fileName + " ";
  EXPECT_EQ(installed, "helper.exe lib\\x.dll my app $2.exe ");
  RunResult again =
      RunVtpack({"init", folder.Path("My App $2"), "-o", folder.Path("project.toml")});
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_EQ(again.err, "vtpack: " + folder.Path("project.toml") +
                           ": exists already; vtpack init never writes over a file\n");
  EXPECT_EQ(folder.Read("project.toml"), text);
}
