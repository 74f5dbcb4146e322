// Bad input never produces a package: each case gets a message that names
// the project file and the entry at fault, exit code 1, and leaves the
// project folder exactly as it was (no Setup.exe, no temporary file).
#include <gtest/gtest.h>

#include "vtpack_runner.h"

using namespace packer_test;

namespace {

struct BadProject {
  const char* name;
  std::string project;
  std::string expected;  // part of the message after "project.toml: "
};

std::string Long(int n) { return std::string(static_cast<std::size_t>(n), 'x'); }

const BadProject kBadProjects[] = {
    {"syntax error", "[application\nname = \"A\"\n", "line 1: "},
    {"unknown top-level key", MinimalProject() + "[colour]\nred = 1\n", "line 3: colour: unknown key"},
    {"unknown application key", MinimalProject("nmae = \"x\"\n"), "application.nmae: unknown key"},
    {"unknown setup key", MinimalProject("[setup]\nwelcome = true\n"), "setup.welcome: unknown key"},
    {"unknown files key", MinimalProject("[[files]]\nsource = \"f.txt\"\ndestinaton = \"app\"\n"),
     "files[1].destinaton: unknown key"},
    {"missing application", "[setup]\nwelcome-page = true\n", "application: is missing"},
    {"missing name", "[application]\nversion = \"1\"\n", "application.name: is missing"},
    {"empty name", "[application]\nname = \"\"\n", "application.name: is empty"},
    {"name of 31 bytes", "[application]\nname = \"" + Long(31) + "\"\n",
     "application.name: is 31 bytes long in code page 1252; at most 30 fit"},
    {"name of 30 characters but 31 bytes", "code-page = 932\n[application]\nname = \"" + Long(29) + "日\"\n",
     "application.name: is 31 bytes long in code page 932"},
    {"version too long", MinimalProject("version = \"" + Long(40) + "\"\n"), "application.version: is 40 bytes"},
    {"window class too long", MinimalProject("window-class = \"" + Long(31) + "\"\n"),
     "application.window-class: is 31 bytes"},
    {"program too long", MinimalProject("program = \"" + Long(27) + ".exe\"\n"), "application.program: is 31 bytes"},
    {"program with a folder", MinimalProject("program = 'bin\\app.exe'\n"), "application.program: contains \"\\\""},
    {"name not in the code page", "[application]\nname = \"日本\"\n",
     "application.name: \"日本\" has a character that is not in code page 1252"},
    {"name with a NUL", "[application]\nname = \"a\\u0000b\"\n", "application.name: contains a NUL"},
    {"name not a string", "[application]\nname = 5\n", "application.name: must be a string"},
    {"option not a boolean", MinimalProject("[setup]\nwelcome-page = \"yes\"\n"),
     "setup.welcome-page: must be true or false"},
    {"run at end without program", MinimalProject("[setup]\nrun-program-at-end = true\n"),
     "setup.run-program-at-end: needs application.program"},
    {"check running without class", MinimalProject("[setup]\ncheck-program-not-running = true\n"),
     "setup.check-program-not-running: needs application.window-class"},
    {"unknown code page", "code-page = 99999\n[application]\nname = \"A\"\n", "code-page: 99999 is not a code page"},
    {"missing licence", MinimalProject("licence = \"nolicence.txt\"\n"),
     "application.licence: \"", },
    {"files not an array of tables", MinimalProject("files = \"*.txt\"\n"), "application.files: unknown key"},
    {"files as a table", "files = 3\n" + MinimalProject(), "files: must be written as [[files]] tables"},
    {"missing source", MinimalProject("[[files]]\nsource = \"missing.txt\"\n"),
     "files[1].source: \""},
    {"source is a folder", MinimalProject("[[files]]\nsource = \"folder\"\n"), "Is a directory"},
    {"glob matching nothing", MinimalProject("[[files]]\nsource = \"*.nothing\"\n"),
     "files[1].source: \"*.nothing\" matches no file"},
    {"source without a source", MinimalProject("[[files]]\nname = \"a.txt\"\n"), "files[1].source: is missing"},
    {"unset environment variable", MinimalProject("[[files]]\nsource = \"${VT_TEST_NEVER_SET}/a\"\n"),
     "files[1].source: uses ${VT_TEST_NEVER_SET}, which is not set"},
    {"unknown destination", MinimalProject("[[files]]\nsource = \"f.txt\"\ndestination = \"apps\"\n"),
     "files[1].destination: \"apps\" is unknown"},
    {"file name with backslash", MinimalProject("[[files]]\nsource = \"f.txt\"\nname = 'a\\b.txt'\n"),
     "files[1].name: contains \"\\\""},
    {"file name with slash", MinimalProject("[[files]]\nsource = \"f.txt\"\nname = \"a/b.txt\"\n"),
     "files[1].name: contains \"/\""},
    {"file name with colon", MinimalProject("[[files]]\nsource = \"f.txt\"\nname = \"a:b\"\n"),
     "files[1].name: contains \":\""},
    {"renamed glob", MinimalProject("[[files]]\nsource = \"*.txt\"\nname = \"a.txt\"\n"),
     "files[1].name: cannot rename the files of a glob"},
    {"subfolder with ..", MinimalProject("[[files]]\nsource = \"f.txt\"\nsubfolder = \"Docs/../..\"\n"),
     "files[1].subfolder: has a \"..\" part"},
    {"subfolder that is ..", MinimalProject("[[files]]\nsource = \"f.txt\"\nsubfolder = \"..\"\n"),
     "files[1].subfolder: has a \"..\" part"},
    {"subfolder with a drive", MinimalProject("[[files]]\nsource = \"f.txt\"\nsubfolder = 'C:\\Windows'\n"),
     "files[1].subfolder: names a drive"},
    {"subfolder with a leading backslash", MinimalProject("[[files]]\nsource = \"f.txt\"\nsubfolder = '\\Docs'\n"),
     "files[1].subfolder: starts with \"\\\""},
    {"subfolder with a leading slash", MinimalProject("[[files]]\nsource = \"f.txt\"\nsubfolder = \"/Docs\"\n"),
     "files[1].subfolder: starts with \"/\""},
    {"subfolder with an empty part", MinimalProject("[[files]]\nsource = \"f.txt\"\nsubfolder = \"a//b\"\n"),
     "files[1].subfolder: has an empty part"},
    {"bad version", MinimalProject("[[files]]\nsource = \"f.txt\"\nversion = \"1.2.3.4.5\"\n"),
     "files[1].version: \"1.2.3.4.5\" is not a version"},
    {"version part too large", MinimalProject("[[files]]\nsource = \"f.txt\"\nversion = \"65536\"\n"),
     "files[1].version: \"65536\" is not a version"},
    {"two files for one place",
     MinimalProject("[[files]]\nsource = \"f.txt\"\n[[files]]\nsource = \"f.txt\"\nname = \"F.TXT\"\n"),
     "files[2].source: \""},
    {"registry root unknown", MinimalProject("[[registry]]\nroot = \"HKLN\"\nkey = \"Software\"\n"),
     "registry[1].root: \"HKLN\" is unknown"},
    {"registry key leading backslash", MinimalProject("[[registry]]\nroot = \"HKLM\"\nkey = '\\Software'\n"),
     "registry[1].key: starts with \"\\\""},
    {"registry key empty", MinimalProject("[[registry]]\nroot = \"HKLM\"\nkey = \"\"\n"), "registry[1].key: is empty"},
    {"registry value name with =",
     MinimalProject("[[registry]]\nroot = \"HKCU\"\nkey = \"Software\"\nvalues = { \"a=b\" = \"c\" }\n"),
     "registry[1].values.\"a=b\": the name contains \"=\""},
    {"registry number too large",
     MinimalProject("[[registry]]\nroot = \"HKCU\"\nkey = \"Software\"\nvalues = { N = 4294967296 }\n"),
     "registry[1].values.\"N\": does not fit 32 bits"},
    {"registry number too small",
     MinimalProject("[[registry]]\nroot = \"HKCU\"\nkey = \"Software\"\nvalues = { N = -2147483649 }\n"),
     "registry[1].values.\"N\": does not fit 32 bits"},
    {"registry text not in the code page",
     MinimalProject("[[registry]]\nroot = \"HKCU\"\nkey = \"Software\"\nvalues = { T = \"€ ok, Ω not\" }\n"),
     "registry[1].values.\"T\": has a character that is not in code page 1252"},
    {"registry text with a NUL",
     MinimalProject("[[registry]]\nroot = \"HKCU\"\nkey = \"Software\"\nvalues = { T = \"a\\u0000b\" }\n"),
     "registry[1].values.\"T\": contains a NUL"},
    {"registry value of another type",
     MinimalProject("[[registry]]\nroot = \"HKCU\"\nkey = \"Software\"\nvalues = { T = 1.5 }\n"),
     "registry[1].values.\"T\": must be a string (text value) or an integer"},
    {"unknown registry key", MinimalProject("[[registry]]\nroot = \"HKCU\"\nkey = \"S\"\nvalue = { T = 1 }\n"),
     "registry[1].value: unknown key"},
    {"association without type", MinimalProject("[[associations]]\nextension = \"x\"\nprogram = \"p.exe\"\n"),
     "associations[1].type: is missing"},
    {"association extension with a dot inside",
     MinimalProject("[[associations]]\nextension = \"tar.gz\"\ntype = \"T\"\nprogram = \"p.exe\"\n"),
     "associations[1].extension: must be one word"},
    {"association icon index too large",
     MinimalProject("[[associations]]\nextension = \"x\"\ntype = \"T\"\nprogram = \"p\"\nicon-index = 3000000000\n"),
     "associations[1].icon-index: does not fit 32 bits"},
};

class BadProjectTest : public testing::TestWithParam<BadProject> {};

}  // namespace

TEST_P(BadProjectTest, IsRefusedWithoutOutput) {
  const BadProject& bad = GetParam();
  ProjectFolder folder;
  folder.Write("f.txt", std::string("content"));
  folder.Write("folder/inside.txt", std::string("content"));
  folder.Write("project.toml", bad.project);
  std::vector<std::string> before = folder.Entries();
  RunResult run = BuildIn(folder, "project.toml", "Setup.exe", {}, {{"VT_TEST_NEVER_SET", std::nullopt}});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_NE(run.err.find("vtpack: " + folder.Path("project.toml") + ": "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(bad.expected), std::string::npos) << "expected: " << bad.expected << "\ngot: " << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_TRUE(run.out.empty()) << run.out;
  EXPECT_EQ(folder.Entries(), before);
}

INSTANTIATE_TEST_SUITE_P(Projects, BadProjectTest, testing::ValuesIn(kBadProjects),
                         [](const testing::TestParamInfo<BadProject>& info) {
                           std::string name;
                           for (char c : std::string(info.param.name)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });
