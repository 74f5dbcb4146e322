// Bad input never produces a package: each case gets a message that names
// the input and the entry at fault, exit code 1, and leaves the project
// folder exactly as it was (every name, type and byte: inputs unchanged, no
// Setup.exe, no temporary file). A row may prepare the folder (FIFOs, links,
// a device node), write elsewhere than Setup.exe, or stop vtpack with a
// signal once its temporary file exists.
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <random>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "vtpack_runner.h"

using namespace packer_test;

namespace {

// Returns false when the folder cannot be prepared here (the row is skipped).
using Prepare = std::function<bool(const ProjectFolder&)>;

struct BadProject {
  const char* name;
  std::string project;
  std::string expected;  // part of the message after "project.toml: "
  Prepare prepare = nullptr;
  std::string output = "Setup.exe";  // in the folder unless absolute
  bool namesProject = true;          // the message starts with the project file
  int signal = 0;                    // sent once the temporary file appears
  long fileSizeLimit = 0;            // RLIMIT_FSIZE of vtpack, in bytes
  std::string stub = "stub.exe";
  std::string uninstaller = "uninst.exe";
  std::string projectName = "project.toml";
};

std::string Long(int n) { return std::string(static_cast<std::size_t>(n), 'x'); }

std::string WithFile(const std::string& more) {
  return MinimalProject("[[files]]\nsource = \"f.txt\"\n" + more);
}

Prepare Fifo(const std::string& name) {
  return [name](const ProjectFolder& folder) {
    return ::mkfifo(folder.Path(name).c_str(), 0644) == 0;
  };
}

Prepare Symlink(const std::string& target, const std::string& name) {
  return [=](const ProjectFolder& folder) {
    return ::symlink(target.c_str(), folder.Path(name).c_str()) == 0;
  };
}

// A node like /dev/null's inside the folder (root only): the test never
// risks the machine's own /dev/null.
Prepare NullDevice(const std::string& name) {
  return [name](const ProjectFolder& folder) {
    return ::mknod(folder.Path(name).c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  };
}

// Incompressible bytes: compressing them takes long enough to stop vtpack
// while it works, and they do not shrink below a file-size limit.
Prepare Noise(const std::string& name, std::size_t size) {
  return [=](const ProjectFolder& folder) {
    std::mt19937 random(3);
    packer::Bytes noise(size);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    folder.Write(name, noise);
    return true;
  };
}

Prepare WriteFile(const std::string& name, const std::string& content) {
  return [=](const ProjectFolder& folder) {
    folder.Write(name, content);
    return true;
  };
}

Prepare CutStub(const std::string& name) {
  return [name](const ProjectFolder& folder) {
    packer::Bytes stub = StubImage();
    stub.resize(stub.size() - 0x100);  // its one section ends at the end
    folder.Write(name, stub);
    return true;
  };
}

std::string Repeat(char c, int n) { return std::string(static_cast<std::size_t>(n), c); }

// A per-user package with f.txt, `more` added to its [[files]] entry.
std::string PerUser(const std::string& more) {
  return MinimalProject("scope = \"user\"\n[[files]]\nsource = \"f.txt\"\n" + more);
}
const char kPerUserUninstaller[] = PACKER_FIXTURES "/per_user_manifest-i686.exe";

const BadProject kBadProjects[] = {
    {"syntax error", "[application\nname = \"A\"\n", "line 1: "},
    {"unknown top-level key", MinimalProject() + "[colour]\nred = 1\n",
     "line 3: colour: unknown key"},
    {"unknown application key", MinimalProject("nmae = \"x\"\n"), "application.nmae: unknown key"},
    {"unknown setup key", MinimalProject("[setup]\nwelcome = true\n"),
     "setup.welcome: unknown key"},
    {"unknown files key", MinimalProject("[[files]]\nsource = \"f.txt\"\ndestinaton = \"app\"\n"),
     "files[1].destinaton: unknown key"},
    {"missing application", "[setup]\nwelcome-page = true\n", "application: is missing"},
    {"missing name", "[application]\nversion = \"1\"\n", "application.name: is missing"},
    {"empty name", "[application]\nname = \"\"\n", "application.name: is empty"},
    {"name of 31 bytes", "[application]\nname = \"" + Long(31) + "\"\n",
     "application.name: is 31 bytes long in code page 1252; at most 30 fit"},
    {"name of 30 characters but 31 bytes",
     "code-page = 932\n[application]\nname = \"" + Long(29) + "日\"\n",
     "application.name: is 31 bytes long in code page 932"},
    {"version too long", MinimalProject("version = \"" + Long(40) + "\"\n"),
     "application.version: is 40 bytes"},
    {"window class too long", MinimalProject("window-class = \"" + Long(31) + "\"\n"),
     "application.window-class: is 31 bytes"},
    {"program too long", MinimalProject("program = \"" + Long(27) + ".exe\"\n"),
     "application.program: is 31 bytes"},
    {"program with a folder", MinimalProject("program = 'bin\\app.exe'\n"),
     "application.program: contains \"\\\""},
    {"name not in the code page", "[application]\nname = \"日本\"\n",
     "application.name: \"日本\" has a character that is not in code page 1252"},
    {"name with a NUL", "[application]\nname = \"a\\u0000b\"\n",
     "application.name: contains a NUL"},
    {"name not a string", "[application]\nname = 5\n", "application.name: must be a string"},
    // winget's rules on the texts only its manifests use.
    {"id of one part", MinimalProject("id = \"Solo\"\n"),
     "application.id: \"Solo\" is not a winget identifier"},
    {"id with a blank", MinimalProject("id = \"My Co.App\"\n"),
     "application.id: \"My Co.App\" is not a winget identifier"},
    {"description too short", MinimalProject("description = \"ab\"\n"),
     "application.description: is 2 characters long; winget takes 3 to 256"},
    {"locale not a tag", MinimalProject("locale = \"english\"\n"),
     "application.locale: \"english\" is not a language tag"},
    {"option not a boolean", MinimalProject("[setup]\nwelcome-page = \"yes\"\n"),
     "setup.welcome-page: must be true or false"},
    {"run at end without program", MinimalProject("[setup]\nrun-program-at-end = true\n"),
     "setup.run-program-at-end: needs application.program"},
    {"check running without class", MinimalProject("[setup]\ncheck-program-not-running = true\n"),
     "setup.check-program-not-running: needs application.window-class"},
    {"unknown code page", "code-page = 99999\n[application]\nname = \"A\"\n",
     "code-page: 99999 is not a Windows ANSI code page"},
    {
        "missing licence",
        MinimalProject("licence = \"nolicence.txt\"\n"),
        "application.licence: \"",
    },
    {"files not an array of tables", MinimalProject("files = \"*.txt\"\n"),
     "application.files: unknown key"},
    {"files as a table", "files = 3\n" + MinimalProject(),
     "files: must be written as [[files]] tables"},
    {"missing source", MinimalProject("[[files]]\nsource = \"missing.txt\"\n"),
     "files[1].source: \""},
    {"source is a folder", MinimalProject("[[files]]\nsource = \"folder\"\n"), "Is a directory"},
    {"glob matching nothing", MinimalProject("[[files]]\nsource = \"*.nothing\"\n"),
     "files[1].source: \"*.nothing\" matches no file"},
    {"source without a source", MinimalProject("[[files]]\nname = \"a.txt\"\n"),
     "files[1].source: is missing"},
    {"unset environment variable",
     MinimalProject("[[files]]\nsource = \"${VT_TEST_NEVER_SET}/a\"\n"),
     "files[1].source: uses ${VT_TEST_NEVER_SET}, which is not set"},
    {"unknown destination",
     MinimalProject("[[files]]\nsource = \"f.txt\"\ndestination = \"apps\"\n"),
     "files[1].destination: \"apps\" is unknown"},
    {"file name with backslash",
     MinimalProject("[[files]]\nsource = \"f.txt\"\nname = 'a\\b.txt'\n"),
     "files[1].name: contains \"\\\""},
    {"file name with slash", MinimalProject("[[files]]\nsource = \"f.txt\"\nname = \"a/b.txt\"\n"),
     "files[1].name: contains \"/\""},
    {"file name with colon", MinimalProject("[[files]]\nsource = \"f.txt\"\nname = \"a:b\"\n"),
     "files[1].name: contains \":\""},
    {"renamed glob", MinimalProject("[[files]]\nsource = \"*.txt\"\nname = \"a.txt\"\n"),
     "files[1].name: cannot rename the files of a glob"},
    {"subfolder with ..",
     MinimalProject("[[files]]\nsource = \"f.txt\"\nsubfolder = \"Docs/../..\"\n"),
     "files[1].subfolder: has a \"..\" part"},
    {"subfolder that is ..", MinimalProject("[[files]]\nsource = \"f.txt\"\nsubfolder = \"..\"\n"),
     "files[1].subfolder: has a \"..\" part"},
    {"subfolder with a drive",
     MinimalProject("[[files]]\nsource = \"f.txt\"\nsubfolder = 'C:\\Windows'\n"),
     "files[1].subfolder: names a drive"},
    {"subfolder with a leading backslash",
     MinimalProject("[[files]]\nsource = \"f.txt\"\nsubfolder = '\\Docs'\n"),
     "files[1].subfolder: starts with \"\\\""},
    {"subfolder with a leading slash",
     MinimalProject("[[files]]\nsource = \"f.txt\"\nsubfolder = \"/Docs\"\n"),
     "files[1].subfolder: starts with \"/\""},
    {"subfolder with an empty part",
     MinimalProject("[[files]]\nsource = \"f.txt\"\nsubfolder = \"a//b\"\n"),
     "files[1].subfolder: has an empty part"},
    {"bad version", MinimalProject("[[files]]\nsource = \"f.txt\"\nversion = \"1.2.3.4.5\"\n"),
     "files[1].version: \"1.2.3.4.5\" is not a version"},
    {"version part too large",
     MinimalProject("[[files]]\nsource = \"f.txt\"\nversion = \"65536\"\n"),
     "files[1].version: \"65536\" is not a version"},
    {"two files for one place",
     MinimalProject(
         "[[files]]\nsource = \"f.txt\"\n[[files]]\nsource = \"f.txt\"\nname = \"F.TXT\"\n"),
     "files[2].source: \""},
    {"registry root unknown", MinimalProject("[[registry]]\nroot = \"HKLN\"\nkey = \"Software\"\n"),
     "registry[1].root: \"HKLN\" is unknown"},
    {"registry key leading backslash",
     MinimalProject("[[registry]]\nroot = \"HKLM\"\nkey = '\\Software'\n"),
     "registry[1].key: starts with \"\\\""},
    {"registry key empty", MinimalProject("[[registry]]\nroot = \"HKLM\"\nkey = \"\"\n"),
     "registry[1].key: is empty"},
    {"registry value name with =",
     MinimalProject(
         "[[registry]]\nroot = \"HKCU\"\nkey = \"Software\"\nvalues = { \"a=b\" = \"c\" }\n"),
     "registry[1].values.\"a=b\": the name contains \"=\""},
    {"registry number too large",
     MinimalProject(
         "[[registry]]\nroot = \"HKCU\"\nkey = \"Software\"\nvalues = { N = 4294967296 }\n"),
     "registry[1].values.\"N\": does not fit 32 bits"},
    {"registry number too small",
     MinimalProject(
         "[[registry]]\nroot = \"HKCU\"\nkey = \"Software\"\nvalues = { N = -2147483649 }\n"),
     "registry[1].values.\"N\": does not fit 32 bits"},
    {"registry text not in the code page",
     MinimalProject(
         "[[registry]]\nroot = \"HKCU\"\nkey = \"Software\"\nvalues = { T = \"€ ok, Ω not\" }\n"),
     "registry[1].values.\"T\": has a character that is not in code page 1252"},
    {"registry text with a NUL",
     MinimalProject(
         "[[registry]]\nroot = \"HKCU\"\nkey = \"Software\"\nvalues = { T = \"a\\u0000b\" }\n"),
     "registry[1].values.\"T\": contains a NUL"},
    {"registry value of another type",
     MinimalProject("[[registry]]\nroot = \"HKCU\"\nkey = \"Software\"\nvalues = { T = 1.5 }\n"),
     "registry[1].values.\"T\": must be a string (text value) or an integer"},
    {"unknown registry key",
     MinimalProject("[[registry]]\nroot = \"HKCU\"\nkey = \"S\"\nvalue = { T = 1 }\n"),
     "registry[1].value: unknown key"},
    {"association without type",
     MinimalProject("[[associations]]\nextension = \"x\"\nprogram = \"p.exe\"\n"),
     "associations[1].type: is missing"},
    {"association extension with a dot inside",
     MinimalProject(
         "[[associations]]\nextension = \"tar.gz\"\ntype = \"T\"\nprogram = \"p.exe\"\n"),
     "associations[1].extension: must be one word"},
    {"association icon index too large",
     MinimalProject("[[associations]]\nextension = \"x\"\ntype = \"T\"\nprogram = "
                    "\"p\"\nicon-index = 3000000000\n"),
     "associations[1].icon-index: does not fit 32 bits"},
    // 1. Never harm an input: an output that is an input (by device and
    // inode, whatever its name) or not a regular file is refused.
    {"output is the project file", MinimalProject(), "is the output file", nullptr, "project.toml"},
    {"output is a source file", WithFile(""), "files[1].source: \"", nullptr, "f.txt"},
    {"output is the licence", MinimalProject("licence = \"licence.txt\"\n"),
     "application.licence: \"", WriteFile("licence.txt", "Terms\n"), "licence.txt"},
    {"output is the stub", MinimalProject(), "the setup program \"", nullptr, "stub.exe", false},
    {"output is the uninstaller", MinimalProject(), "the uninstaller \"", nullptr, "uninst.exe",
     false},
    {"output is a hard link to a source", WithFile(""), "is the output file",
     [](const ProjectFolder& f) {
       return ::link(f.Path("f.txt").c_str(), f.Path("hard.exe").c_str()) == 0;
     },
     "hard.exe"},
    {"output is a symbolic link to the project", MinimalProject(), "is the output file",
     Symlink("project.toml", "link.exe"), "link.exe"},
    {"output is a symbolic link to nothing", MinimalProject(),
     "symbolic link to a file that does not exist", Symlink("nowhere.exe", "dangling.exe"),
     "dangling.exe", false},
    {"output is a FIFO", MinimalProject(), "is a FIFO, not a regular file", Fifo("out.exe"),
     "out.exe", false},
    {"output is a directory", MinimalProject(), "is a directory, not a regular file", nullptr,
     "folder", false},
    {"output is a device", MinimalProject(), "is a character device, not a regular file",
     NullDevice("null"), "null", false},
    {"glob matching the temporary output", MinimalProject("[[files]]\nsource = \".*\"\n"),
     "is vtpack's temporary file for the output"},
    {"stopped by SIGINT", MinimalProject("[[files]]\nsource = \"big.bin\"\n"), "",
     Noise("big.bin", 16 << 20), "Setup.exe", false, SIGINT},
    {"stopped by SIGTERM", MinimalProject("[[files]]\nsource = \"big.bin\"\n"), "",
     Noise("big.bin", 16 << 20), "Setup.exe", false, SIGTERM},
    {"over the file-size limit", MinimalProject("[[files]]\nsource = \"noise.bin\"\n"),
     "File too large", Noise("noise.bin", 256 << 10), "Setup.exe", false, 0, 64 << 10},
    // 2. Never hang, never read without bound: inputs that are not regular
    // files are refused before they are read, with the reason in words.
    {"source is a FIFO", MinimalProject("[[files]]\nsource = \"pipe.txt\"\n"),
     "files[1].source: \"", Fifo("pipe.txt")},
    {"source FIFO says why", MinimalProject("[[files]]\nsource = \"pipe.txt\"\n"),
     "cannot be read: is a FIFO, not a regular file", Fifo("pipe.txt")},
    {"source is dev zero", MinimalProject("[[files]]\nsource = \"/dev/zero\"\n"),
     "\"/dev/zero\" cannot be read: is a character device, not a regular file"},
    {"licence is a FIFO", MinimalProject("licence = \"pipe.txt\"\n"), "application.licence: \"",
     Fifo("pipe.txt")},
    {"licence is dev zero", MinimalProject("licence = \"/dev/zero\"\n"),
     "cannot be read: is a character device, not a regular file"},
    {"stub is a FIFO", MinimalProject(), "cannot be read: is a FIFO, not a regular file",
     Fifo("stub.fifo"), "Setup.exe", false, 0, 0, "stub.fifo"},
    {"uninstaller is dev zero", MinimalProject(),
     "cannot be read: is a character device, not a regular file", nullptr, "Setup.exe", false, 0, 0,
     "stub.exe", "/dev/zero"},
    {"project file is a FIFO", "", "cannot be read: is a FIFO, not a regular file",
     Fifo("fifo.toml"), "Setup.exe", true, 0, 0, "stub.exe", "uninst.exe", "fifo.toml"},
    // 7. The stub's image must be one the setup program's reader can find.
    {"stub whose section is cut", MinimalProject(), "is not a Windows program: its PE headers",
     CutStub("cut.exe"), "Setup.exe", false, 0, 0, "cut.exe"},
    // 3. Names Windows cannot create.
    {"file name nul.txt", WithFile("name = \"nul.txt\"\n"),
     "files[1].name: is the device name NUL"},
    {"file name CON", WithFile("name = \"CON\"\n"), "files[1].name: is the device name CON"},
    {"file name com1.tar.gz", WithFile("name = \"com1.tar.gz\"\n"),
     "files[1].name: is the device name COM1"},
    {"file name Lpt9", WithFile("name = \"Lpt9\"\n"), "files[1].name: is the device name LPT9"},
    {"file name aux before a blank", WithFile("name = \"aux .txt\"\n"),
     "files[1].name: is the device name AUX"},
    {"source named prn.txt", MinimalProject("[[files]]\nsource = \"prn.txt\"\n"),
     "name is the device name PRN", WriteFile("prn.txt", "x")},
    {"folder part AUX", WithFile("subfolder = \"docs/AUX\"\n"),
     "files[1].subfolder: part \"AUX\" is the device name"},
    {"folder part con.d", WithFile("subfolder = \"con.d/x\"\n"),
     "files[1].subfolder: part \"con.d\" is the device name"},
    {"folder part ending in a dot", WithFile("subfolder = \"docs./x\"\n"),
     "files[1].subfolder: part \"docs.\" ends in a blank or a dot"},
    {"folder part ending in a blank", WithFile("subfolder = \"docs /x\"\n"),
     "files[1].subfolder: part \"docs \" ends in a blank or a dot"},
    {"file name ending in a dot", WithFile("name = \"readme.\"\n"),
     "files[1].name: ends in a blank or a dot"},
    // 4. The application name becomes a folder.
    {"application name climbing out", "[application]\nname = 'A\\..\\..\\Windows'\n",
     "application.name: contains \"\\\", which Windows does not allow in a folder name"},
    {"application name with a slash", "[application]\nname = \"AC/DC Player\"\n",
     "application.name: contains \"/\", which Windows does not allow in a folder name"},
    {"application name with a colon", "[application]\nname = \"App: 2\"\n",
     "application.name: contains \":\""},
    {"application name dot dot", "[application]\nname = \"..\"\n",
     "application.name: is \"..\", not a folder name"},
    {"application name Nul", "[application]\nname = \"Nul\"\n",
     "application.name: is the device name NUL"},
    {"application name ending in a dot", "[application]\nname = \"App.\"\n",
     "application.name: ends in a blank or a dot"},
    {"application name ending in a blank", "[application]\nname = \"App \"\n",
     "application.name: ends in a blank or a dot"},
    // 5. Path length with the standard base folder of each destination.
    {"path too long below Program Files",
     WithFile("subfolder = \"" + Repeat('d', 200) + "\"\nname = \"" + Repeat('n', 49) + "\"\n"),
     "files[1].source: \""},
    {"path too long says how long",
     WithFile("subfolder = \"" + Repeat('d', 200) + "\"\nname = \"" + Repeat('n', 49) + "\"\n"),
     "282 characters; Windows allows 259"},
    {"path too long below System32",
     WithFile("destination = \"system\"\nsubfolder = \"" + Repeat('d', 200) + "\"\nname = \"" +
              Repeat('n', 40) + "\"\n"),
     "\"C:\\Windows\\System32\\ddd"},
    {"folder too long to create",
     WithFile("subfolder = \"" + Repeat('d', 216) + "\"\nname = \"a\"\n"),
     "248 characters; Windows creates folders of at most 247"},
    // 6. Windows ANSI code pages only; double-byte texts are walked by
    // character ("表" is 0x95 0x5C in code page 932).
    {"EBCDIC code page", "code-page = 500\n[application]\nname = \"A\"\n",
     "code-page: 500 is not a Windows ANSI code page"},
    {"OEM code page", "code-page = 437\n[application]\nname = \"A\"\n",
     "code-page: 437 is not a Windows ANSI code page"},
    {"UTF-8 code page", "code-page = 65001\n[application]\nname = \"A\"\n",
     "code-page: 65001 is not a Windows ANSI code page"},
    {"double-byte name with a real bar", "code-page = 932\n" + WithFile("name = \"表|.txt\"\n"),
     "files[1].name: contains \"|\""},
    {"double-byte folder with a real colon",
     "code-page = 932\n" + WithFile("subfolder = \"表:x\"\n"),
     "files[1].subfolder: part \"\x95\x5C:x\" contains \":\""},
    {"double-byte registry key with a slash",
     "code-page = 932\n" +
         MinimalProject("[[registry]]\nroot = \"HKCU\"\nkey = 'Software\\表/x'\n"),
     "registry[1].key: contains \"/\""},
    // 9. Trees: every file found passes the checks; a pattern that packs
    // nothing says why; excludes stay below the source's folder.
    {"star matching only folders", MinimalProject("[[files]]\nsource = \"only/*\"\n"),
     "files[1].source: \"only/*\" matches no file, only 1 folder; \"only/**\" packs the folders "
     "with all they hold",
     WriteFile("only/sub/x.txt", "x")},
    {"tree folder Windows cannot make", MinimalProject("[[files]]\nsource = \"tree/**\"\n"),
     "tree/sub/a:b/x.txt\": the folder part \"a:b\" contains \":\"",
     WriteFile("tree/sub/a:b/x.txt", "x")},
    {"tree file with a device name", MinimalProject("[[files]]\nsource = \"tree/**\"\n"),
     "tree/sub/aux.txt\": name is the device name AUX", WriteFile("tree/sub/aux.txt", "x")},
    {"tree names differing in case", MinimalProject("[[files]]\nsource = \"tree/**\"\n"),
     "tree/a/x.txt\" installs to the same place as a file of files[1]",
     [](const ProjectFolder& f) {
       return WriteFile("tree/A/x.txt", "1")(f) && WriteFile("tree/a/x.txt", "2")(f);
     }},
    {"tree with a link to a folder above", MinimalProject("[[files]]\nsource = \"tree/**\"\n"),
     "tree/sub/up\" is a link to a folder that holds it",
     [](const ProjectFolder& f) {
       return WriteFile("tree/sub/x.txt", "x")(f) && Symlink("..", "tree/sub/up")(f);
     }},
    {"exclude without a pattern", WithFile("exclude = [\"*.pdb\"]\n"),
     "files[1].exclude: needs a pattern in source"},
    {"exclude climbing out",
     MinimalProject("[[files]]\nsource = \"folder/**\"\nexclude = [\"../f.txt\"]\n"),
     "files[1].exclude: \"../f.txt\" has a \"..\" part"},
    {"exclude not strings",
     MinimalProject("[[files]]\nsource = \"folder/**\"\nexclude = \"*.pdb\"\n"),
     "files[1].exclude: must be an array of strings"},
    // 10. An app file and a program-files file below <name> are one path
    // where the user keeps the default folder.
    {"app and program-files on one path",
     WithFile("[[files]]\nsource = \"f.txt\"\ndestination = \"program-files\"\nsubfolder = \"TEST "
              "app\"\n"),
     "/f.txt\" installs to the same place as a file of files[1] when the user keeps the default "
     "folder: \"C:\\Program Files (x86)\\TEST app\\f.txt\""},
    {"windows and system on one path",
     WithFile("destination = \"system\"\n[[files]]\nsource = \"f.txt\"\ndestination = "
              "\"windows\"\nsubfolder = \"System32\"\n"),
     "installs to the same place as a file of files[1] when the user keeps the default folder"},
    // 11. Variables in every text; the version from the program.
    {"unset variable in the version", MinimalProject("version = \"${VT_TEST_NEVER_SET}\"\n"),
     "application.version: uses ${VT_TEST_NEVER_SET}, which is not set (vtpack build -D "
     "VT_TEST_NEVER_SET=VALUE"},
    {"unclosed variable in a registry value",
     MinimalProject(
         "[[registry]]\nroot = \"HKCU\"\nkey = \"Software\"\nvalues = { T = \"${OPEN\" }\n"),
     "registry[1].values.\"T\": has \"${\" without its closing \"}\"; write $$ for a \"$\" of its "
     "own"},
    {"version from no program", MinimalProject("version-from-program = true\n"),
     "application.version-from-program: needs application.program"},
    {"version twice",
     MinimalProject("version = \"1\"\nversion-from-program = true\nprogram = \"f.txt\"\n"),
     "application.version-from-program: and application.version both give AppVersion"},
    {"version from a program not installed",
     MinimalProject(
         "version-from-program = true\nprogram = \"tool.exe\"\n[[files]]\nsource = \"f.txt\"\n"),
     "application.version-from-program: no [[files]] entry installs application.program "
     "\"tool.exe\" into the "
     "destination folder itself"},
    {"version from a program without resource",
     MinimalProject(
         "version-from-program = true\nprogram = \"f.txt\"\n[[files]]\nsource = \"f.txt\"\n"),
     "/f.txt\", installed as \"f.txt\", has no version resource to take AppVersion from"},
    // 12. The vendor's icon: an icon file, and a setup program with one.
    {"icon that is text", MinimalProject("icon = \"f.txt\"\n"),
     "/f.txt\" is not an icon file (.ico): it does not start with the bytes 00 00 01 00"},
    {"icon that is a PNG", MinimalProject("icon = \"a.png\"\n"),
     "\" is a PNG picture, not an icon file (.ico)",
     WriteFile("a.png", std::string("\x89PNG\r\n\x1a\n", 8) + "rest")},
    {"icon that is a cursor", MinimalProject("icon = \"a.cur\"\n"),
     "\" is a cursor (.cur), not an icon file", WriteFile("a.cur", std::string("\0\0\2\0\1\0", 6))},
    {"icon cut short", MinimalProject("icon = \"a.ico\"\n"),
     "\" is cut short: the entries of its 2 images need 38 bytes, the file has 10",
     WriteFile("a.ico", std::string("\0\0\1\0\2\0abcd", 10))},
    {"icon for a setup program without one", MinimalProject("icon = \"a.ico\"\n"),
     "other_resource-i686.exe\" has no icon of its own to replace (application.icon)",
     WriteFile("a.ico", std::string("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0\x10\0\0\0\x16\0\0\0", 22) +
                            std::string("\x89PNG\r\n\x1a\n", 8) + std::string(8, 'p')),
     "Setup.exe", false, 0, 0, PACKER_FIXTURES "/other_resource-i686.exe"},
    // 13. The architecture: the programs packed, and what a 64-bit package
    // cannot register.
    {"unknown architecture", MinimalProject("architecture = \"arm64\"\n"),
     "application.architecture: is \"arm64\"; it must be \"x86\""},
    {"x64 around the 32-bit setup program", MinimalProject("architecture = \"x64\"\n"),
     "stub.exe\" is a 32-bit (x86) program; give --stub vtsetup64.exe, or set the architecture "
     "to \"x86\""},
    {"uninstaller of the other architecture", MinimalProject(),
     "plain-x86_64.exe\" is a 64-bit (x64) program and the setup program a 32-bit (x86) one; "
     "give --uninstaller VTUnInst.exe",
     nullptr, "Setup.exe", false, 0, 0, "stub.exe", PACKER_FIXTURES "/plain-x86_64.exe"},
    {"32-bit file that registers itself in an x64 package",
     MinimalProject("architecture = \"x64\"\n[[files]]\nsource = \"" PACKER_FIXTURES
                    "/plain-i686.exe\"\nself-register = true\n"),
     "plain-i686.exe\" is 32-bit (x86) and registers itself, and the package is 64-bit", nullptr,
     "Setup.exe", true, 0, 0, PACKER_FIXTURES "/plain-x86_64.exe"},
    // 8. Only the pattern part of a source is a pattern.
    {"glob below a folder named with glob characters matching nothing",
     MinimalProject("[[files]]\nsource = \"sub[1]/*.none\"\n"), "\"sub[1]/*.none\" matches no file",
     WriteFile("sub[1]/a.txt", "a")},
    // 9. A per-user package runs without an administrator: what needs one is
    // refused, and so are programs that do not run as it does.
    {"unknown scope", MinimalProject("scope = \"users\"\n"),
     "application.scope: \"users\" is unknown; use \"machine\""},
    {"per-user file in the system folder", PerUser("destination = \"system\"\n"),
     "files[1].destination: \"system\" is a folder of the machine, which needs an administrator, "
     "and a per-user package (application.scope = \"user\") runs without one"},
    {"per-user shared file", PerUser("shared = true\n"),
     "files[1].shared: counts the file under HKEY_LOCAL_MACHINE, which needs an administrator"},
    {"per-user self-registration", PerUser("self-register = true\n"),
     "files[1].self-register: registers the file for the whole machine, which needs an "
     "administrator"},
    {"per-user machine key", PerUser("[[registry]]\nroot = \"HKLM\"\nkey = \"Software\"\n"),
     "registry[1].root: HKLM is the machine's, which needs an administrator"},
    {"per-user class key",
     PerUser("[[registry]]\nroot = \"HKEY_CLASSES_ROOT\"\nkey = \"Vantorel.Type\"\n"),
     "registry[1].root: HKEY_CLASSES_ROOT holds the machine's file types, which needs an "
     "administrator, and a per-user package (application.scope = \"user\") runs without one: "
     "write HKEY_CURRENT_USER\\Software\\Classes"},
    {"per-user package with the machine's uninstaller", PerUser(""),
     "uninst.exe\" does not run as the invoking user: a per-user package "
     "(application.scope = \"user\") needs VTUnInstUser.exe",
     nullptr, "Setup.exe", false},
    {"machine package with the per-user uninstaller", MinimalProject(),
     "per_user_manifest-i686.exe\" runs as the invoking user: a package for the machine needs "
     "VTUnInst.exe",
     nullptr, "Setup.exe", false, 0, 0, "stub.exe", kPerUserUninstaller},
    {"per-user package whose setup program has no manifest", PerUser(""),
     "stub.exe\" has no manifest that asks for an administrator "
     "(level=\"requireAdministrator\") to be run as the invoking user instead (application.scope)",
     nullptr, "Setup.exe", false, 0, 0, "stub.exe", kPerUserUninstaller},
    {"per-user file in the uninstaller's place", PerUser("name = \"vtuninst.EXE\"\n"),
     "f.txt\" installs as VTUnInst.exe in the destination folder itself, "
     "where a per-user package's uninstaller lies",
     nullptr, "Setup.exe", true, 0, 0, "stub.exe", kPerUserUninstaller},
};

class BadProjectTest : public testing::TestWithParam<BadProject> {};

// Every entry below the folder: its type and, for a regular file, its bytes
// (or size and hash); for a link, its target.
std::map<std::string, std::string> Snapshot(const ProjectFolder& folder) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> entries;
  for (auto it = fs::recursive_directory_iterator(folder.Root());
       it != fs::recursive_directory_iterator(); ++it) {
    std::string relative = fs::relative(it->path(), folder.Root()).string();
    fs::file_status status = it->symlink_status();
    std::string& value = entries[relative];
    if (fs::is_symlink(status)) {
      value = "link " + fs::read_symlink(it->path()).string();
    } else if (fs::is_regular_file(status)) {
      packer::Bytes bytes = folder.Read(relative);
      // Small files as they are; large ones by size and hash, so that a
      // failure prints something readable.
      std::uint64_t hash = 14695981039346656037ull;
      for (std::uint8_t b : bytes) hash = (hash ^ b) * 1099511628211ull;
      value = bytes.size() <= 4096 ? "file " + std::string(bytes.begin(), bytes.end())
                                   : "file of " + std::to_string(bytes.size()) + " bytes, hash " +
                                         std::to_string(hash);
    } else if (fs::is_directory(status)) {
      value = "folder";
    } else {
      value = "type " + std::to_string(static_cast<int>(status.type()));
    }
  }
  return entries;
}

}  // namespace

TEST_P(BadProjectTest, IsRefusedWithoutOutput) {
  const BadProject& bad = GetParam();
  ProjectFolder folder;
  folder.Write("f.txt", std::string("content"));
  folder.Write("folder/inside.txt", std::string("content"));
  if (bad.projectName == "project.toml") folder.Write("project.toml", bad.project);
  if (bad.prepare && !bad.prepare(folder))
    GTEST_SKIP() << "cannot prepare the folder here (not root?)";
  std::map<std::string, std::string> before = Snapshot(folder);
  RunOptions options;
  options.signal = bad.signal;
  options.watchFolder = folder.Root();
  options.temporaryPrefix = "." + bad.output + ".";
  options.fileSizeLimit = bad.fileSizeLimit;
  RunResult run =
      BuildIn(folder, bad.projectName, bad.output, {}, {{"VT_TEST_NEVER_SET", std::nullopt}},
              &options, bad.stub, bad.uninstaller);
  ASSERT_NE(run.exitCode, kTimedOut) << "vtpack hung";
  if (bad.signal != 0) {
    ASSERT_TRUE(options.signalSent)
        << "no temporary file appeared; exit " << run.exitCode << ": " << run.err;
    EXPECT_EQ(run.exitCode, 128 + bad.signal) << run.err;
  } else {
    EXPECT_EQ(run.exitCode, 1) << run.err;
    if (bad.namesProject) {
      EXPECT_NE(run.err.find("vtpack: " + folder.Path(bad.projectName) + ": "), std::string::npos)
          << run.err;
    }
    EXPECT_NE(run.err.find(bad.expected), std::string::npos)
        << "expected: " << bad.expected << "\ngot: " << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
  EXPECT_TRUE(run.out.empty()) << run.out;
  EXPECT_EQ(Snapshot(folder), before);
}

INSTANTIATE_TEST_SUITE_P(Projects, BadProjectTest, testing::ValuesIn(kBadProjects),
                         [](const testing::TestParamInfo<BadProject>& info) {
                           std::string name;
                           for (char c : std::string(info.param.name))
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });
