// The uninstaller's text rules without Windows: its command line, the
// strict reading of "Uninst.log" and of the install record, and the path
// rules and comparisons that decide what may be removed. Tables of cases; natively under the
// sanitizers, and under Wine with the system's own code page.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/install_record_text.h"
#include "base/path_list.h"
#include "base/path_rules.h"
#include "base/platform.h"
#include "double_byte_code_page.h"
#include "uninstaller/command_line.h"
#include "uninstaller/log_parser.h"

namespace {

// ---- command line ----

struct CommandLineCase {
  const char* commandLine;
  const char* logPath;  // null: refused
};

TEST(UninstallerCommandLine, TakesTheRestOfTheLineAsTheLogPath) {
  const CommandLineCase cases[] = {
      // As "UninstallString" gives it: nothing quoted, blanks in the log's path.
      {"C:\\windows\\VTUnInst.exe C:\\Program Files\\My App\\Uninst.log",
       "C:\\Program Files\\My App\\Uninst.log"},
      // A Windows directory with blanks: the program ends at ".exe ".
      {"C:\\My Windows\\VTUnInst.EXE C:\\App\\Uninst.log", "C:\\App\\Uninst.log"},
      // The program quoted, the log quoted, blanks around them.
      {"\"C:\\windows\\VTUnInst.exe\"  \"C:\\A B\\uninst.LOG\"  ", "C:\\A B\\uninst.LOG"},
      {"  VTUnInst C:\\App\\Uninst.log", "C:\\App\\Uninst.log"},
      {"VTUnInst.exe\tC:\\App\\Uninst.log\t", "C:\\App\\Uninst.log"},
      {"VTUnInst.exe \\\\server\\share\\App\\Uninst.log", "\\\\server\\share\\App\\Uninst.log"},
      {"VTUnInst.exe C:\\Uninst.log", "C:\\Uninst.log"},
      // Blanks inside the path stay, blanks at its end go.
      {"VTUnInst.exe C:\\a  b\\Uninst.log ", "C:\\a  b\\Uninst.log"},
      // Refused: no log, not a full path, not a log, a name that only ends so.
      {"C:\\windows\\VTUnInst.exe", nullptr},
      {"C:\\windows\\VTUnInst.exe   ", nullptr},
      {"", nullptr},
      {"VTUnInst.exe Uninst.log", nullptr},
      {"VTUnInst.exe App\\Uninst.log", nullptr},
      {"VTUnInst.exe \\App\\Uninst.log", nullptr},
      {"VTUnInst.exe C:App\\Uninst.log", nullptr},
      {"VTUnInst.exe C:\\App\\readme.txt", nullptr},
      {"VTUnInst.exe C:\\App\\MyUninst.log", nullptr},
      {"VTUnInst.exe C:\\App\\Uninst.log\\", nullptr},
      {"VTUnInst.exe \"C:\\App\\Uninst.log", nullptr},
  };
  for (const CommandLineCase& c : cases) {
    SCOPED_TRACE(c.commandLine);
    SharedString logPath("unchanged");
    EXPECT_EQ(LogPathFromCommandLine(c.commandLine, logPath), c.logPath != nullptr);
    EXPECT_STREQ(logPath, c.logPath != nullptr ? c.logPath : "unchanged");
  }
}

// ---- the log ----

std::vector<std::string> Paths(const SharedString& list) {
  std::vector<std::string> paths;
  SharedString path;
  for (int position = 0; NextPath(list, position, path);) paths.push_back(path.Text());
  return paths;
}

struct GoodLog {
  const char* what;
  std::string text;
  const char* appName;
  bool check;
  const char* windowClass;
  std::vector<std::string> shortcuts, sharedFiles;
};

TEST(UninstallLogParser, ReadsWhatSetupWrites) {
  const GoodLog cases[] = {
      {"no check, no lists",
       "My App\nDon'tCheckProgramNotRunning\n0\n0\n",
       "My App",
       false,
       "",
       {},
       {}},
      {"check and one desktop shortcut",
       "App\nCheckProgramNotRunning\nAppWindow\n1\nC:\\users\\me\\Desktop\\App.lnk\n0\n",
       "App",
       true,
       "AppWindow",
       {"C:\\users\\me\\Desktop\\App.lnk"},
       {}},
      {"everything",
       "A\nCheckProgramNotRunning\n\n3\nC:\\P\\A.lnk\nC:\\D\\A.LNK\n\\\\s\\h\\S\\A.lnk\n"
       "2\nC:\\windows\\system32\\a b.dll\nC:\\Program Files\\A\\c.ocx\n",
       "A",
       true,
       "",
       {"C:\\P\\A.lnk", "C:\\D\\A.LNK", "\\\\s\\h\\S\\A.lnk"},
       {"C:\\windows\\system32\\a b.dll", "C:\\Program Files\\A\\c.ocx"}},
      {"30-byte names, a path of 259 bytes",
       std::string(30, 'n') + "\nCheckProgramNotRunning\n" + std::string(30, 'w') + "\n0\n1\nC:\\" +
           std::string(256, 'p') + "\n",
       "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnn",
       true,
       "wwwwwwwwwwwwwwwwwwwwwwwwwwwwww",
       {},
       {"C:\\" + std::string(256, 'p')}},
      {"the same shared file twice",
       "A\nDon'tCheckProgramNotRunning\n0\n2\nC:\\s.dll\nC:\\s.dll\n",
       "A",
       false,
       "",
       {},
       {"C:\\s.dll", "C:\\s.dll"}},
  };
  for (const GoodLog& c : cases) {
    SCOPED_TRACE(c.what);
    UninstallLog log;
    ASSERT_EQ(ParseUninstallLog(c.text.data(), c.text.size(), log), 0);
    EXPECT_STREQ(log.appName, c.appName);
    EXPECT_EQ(log.checkProgramNotRunning, c.check);
    EXPECT_STREQ(log.windowClass, c.windowClass);
    EXPECT_EQ(log.shortcutCount, static_cast<int>(c.shortcuts.size()));
    EXPECT_EQ(Paths(log.shortcuts), c.shortcuts);
    EXPECT_EQ(log.sharedFileCount, static_cast<int>(c.sharedFiles.size()));
    EXPECT_EQ(Paths(log.sharedFiles), c.sharedFiles);
  }
}

struct BadLog {
  const char* what;
  std::string text;
  int line;  // the line named as wrong or missing
};

TEST(UninstallLogParser, RefusesAnythingElseNamingTheLine) {
  const std::string good = "App\nCheckProgramNotRunning\nWin\n1\nC:\\D\\App.lnk\n1\nC:\\s.dll\n";
  const BadLog cases[] = {
      {"empty file", "", 1},
      {"no line end at all", "App", 1},
      {"empty name", "\nDon'tCheckProgramNotRunning\n0\n0\n", 1},
      {"name of 31 bytes", std::string(31, 'n') + "\nDon'tCheckProgramNotRunning\n0\n0\n", 1},
      {"CR LF line ends", "App\r\nDon'tCheckProgramNotRunning\r\n0\r\n0\r\n", 1},
      {"NUL in the name", std::string("A\0p\nDon'tCheckProgramNotRunning\n0\n0\n", 35), 1},
      {"unknown check line", "App\nDontCheckProgramNotRunning\n0\n0\n", 2},
      {"check line in lower case", "App\ncheckprogramnotrunning\nW\n0\n0\n", 2},
      {"class of 31 bytes", "App\nCheckProgramNotRunning\n" + std::string(31, 'w') + "\n0\n0\n", 3},
      {"class line missing", "App\nCheckProgramNotRunning\n", 3},
      {"count with a sign", "App\nDon'tCheckProgramNotRunning\n+0\n0\n", 3},
      {"negative count", "App\nDon'tCheckProgramNotRunning\n-1\n0\n", 3},
      {"count with a leading zero", "App\nDon'tCheckProgramNotRunning\n01\nC:\\A.lnk\n0\n", 3},
      {"count with a blank", "App\nDon'tCheckProgramNotRunning\n 0\n0\n", 3},
      {"empty count", "App\nDon'tCheckProgramNotRunning\n\n0\n", 3},
      {"count of ten digits", "App\nDon'tCheckProgramNotRunning\n1000000000\n0\n", 3},
      {"fewer shortcuts than counted", "App\nDon'tCheckProgramNotRunning\n2\nC:\\A.lnk\n0\n", 5},
      {"relative shortcut", "App\nDon'tCheckProgramNotRunning\n1\nA.lnk\n0\n", 4},
      {"shortcut that is no link", "App\nDon'tCheckProgramNotRunning\n1\nC:\\windows\\win.ini\n0\n",
       4},
      {"empty shortcut line", "App\nDon'tCheckProgramNotRunning\n1\n\n0\n", 4},
      {"shared count missing", "App\nDon'tCheckProgramNotRunning\n0\n", 4},
      {"relative shared file", "App\nDon'tCheckProgramNotRunning\n0\n1\ns.dll\n", 5},
      {"path of 260 bytes",
       "App\nDon'tCheckProgramNotRunning\n0\n1\nC:\\" + std::string(257, 'p') + "\n", 5},
      {"shared file line missing", "App\nDon'tCheckProgramNotRunning\n0\n1\n", 5},
      {"last line without its end", "App\nDon'tCheckProgramNotRunning\n0\n1\nC:\\s.dll", 5},
      {"a line after the lists", good + "extra\n", 8},
      {"an empty line after the lists", good + "\n", 8},
      {"bytes after the lists", good + "x", 8},
      {"a tab in a path", "App\nDon'tCheckProgramNotRunning\n0\n1\nC:\\a\tb.dll\n", 5},
      {"a name that names a key below another", "A\\B\nDon'tCheckProgramNotRunning\n0\n0\n", 1},
      {"a shared file through ..", "App\nDon'tCheckProgramNotRunning\n0\n1\nC:\\a\\..\\s.dll\n", 5},
  };
  for (const BadLog& c : cases) {
    SCOPED_TRACE(c.what);
    UninstallLog log;
    log.appName = "unchanged";
    EXPECT_EQ(ParseUninstallLog(c.text.data(), c.text.size(), log), c.line);
    EXPECT_STREQ(log.appName, "unchanged");
  }
}

// Each shared file once: the line that repeats one is named, after the
// shortcuts and the class line when there is one.
TEST(UninstallLogParser, ARepeatedSharedFileIsNamed) {
  const struct {
    std::string text;
    int line;
  } cases[] = {
      {"App\nDon'tCheckProgramNotRunning\n0\n2\nC:\\s.dll\nC:\\t.dll\n", 0},
      {"App\nDon'tCheckProgramNotRunning\n0\n2\nC:\\s.dll\nc:\\S.DLL\n", 6},
      {"App\nCheckProgramNotRunning\nW\n1\nC:\\A.lnk\n3\nC:\\s.dll\nC:\\t.dll\nC:\\t.dll\n", 9},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    UninstallLog log;
    ASSERT_EQ(ParseUninstallLog(c.text.data(), c.text.size(), log), 0);
    EXPECT_EQ(FindRepeatedSharedLine(log), c.line);
  }
}

// Setup writes "<folder>\<AppName>.lnk" in three folders, once each.
TEST(UninstallLogParser, ShortcutsAreTheLinksSetupMakes) {
  const SharedString folders[] = {"C:\\P", "C:\\D", ""};  // the last without a path
  struct ShortcutCase {
    const char* what;
    std::string text;
    int line;
  };
  const ShortcutCase cases[] = {
      {"two folders, any case",
       "App\nDon'tCheckProgramNotRunning\n2\nC:\\P\\App.lnk\nc:\\d\\APP.LNK\n0\n", 0},
      {"with the class line", "App\nCheckProgramNotRunning\nW\n1\nC:\\D\\App.lnk\n0\n", 0},
      {"another name", "App\nDon'tCheckProgramNotRunning\n1\nC:\\D\\Other App.lnk\n0\n", 4},
      {"another folder", "App\nDon'tCheckProgramNotRunning\n1\nC:\\Docs\\App.lnk\n0\n", 4},
      {"below a folder", "App\nDon'tCheckProgramNotRunning\n1\nC:\\P\\X\\App.lnk\n0\n", 4},
      {"twice", "App\nCheckProgramNotRunning\nW\n2\nC:\\P\\App.lnk\nC:\\p\\app.lnk\n0\n", 6},
  };
  for (const ShortcutCase& c : cases) {
    SCOPED_TRACE(c.what);
    UninstallLog log;
    ASSERT_EQ(ParseUninstallLog(c.text.data(), c.text.size(), log), 0);
    EXPECT_EQ(FindWrongShortcutLine(log, folders, 3), c.line);
  }
}

// ---- the install record ----

TEST(InstallRecordParser, ReadsWhatSetupWritesAndWritesItBack) {
  const std::string text =
      "Vantorel install record 1\nMy App\nfolder .\nfolder Docs\nfile app.exe\n"
      "file Docs\\read me.txt\noutside C:\\windows\\system32\\my.dll\n"
      "shared 2 C:\\Program Files\\Common Files\\s.dll\nshared 1 \\\\srv\\share\\t.dll\n"
      "earlier " +
      std::string(64, 'a') + " C:\\Old Place\n";
  InstallRecord record;
  ASSERT_EQ(ParseInstallRecord(text.data(), text.size(), record), 0);
  EXPECT_STREQ(record.appName, "My App");
  EXPECT_EQ(Paths(record.folders), (std::vector<std::string>{".", "Docs"}));
  EXPECT_EQ(Paths(record.files), (std::vector<std::string>{"app.exe", "Docs\\read me.txt"}));
  EXPECT_EQ(Paths(record.outsideFiles), std::vector<std::string>{"C:\\windows\\system32\\my.dll"});
  EXPECT_EQ(Paths(record.sharedFiles),
            (std::vector<std::string>{"2 C:\\Program Files\\Common Files\\s.dll",
                                      "1 \\\\srv\\share\\t.dll"}));
  SharedString digest, folder;
  int position = 0;
  ASSERT_TRUE(NextEarlierInstall(record.earlierInstalls, position, digest, folder));
  EXPECT_EQ(std::string(digest.Text()), std::string(64, 'a'));
  EXPECT_STREQ(folder, "C:\\Old Place");
  EXPECT_FALSE(NextEarlierInstall(record.earlierInstalls, position, digest, folder));
  EXPECT_EQ(std::string(InstallRecordText(record).Text()), text);
  // Keys and values make it format 2; any line merges in any order.
  const std::string value = "value " + std::string(64, 'b') + " HKCR\\.doc=";
  for (const std::string& line : {value, std::string("key HKCR\\.doc"), value}) {
    EXPECT_TRUE(AddInstallRecordLine(record, line.c_str()));
  }
  EXPECT_FALSE(AddInstallRecordLine(record, "key HKCR"));
  const std::string withKeys = "Vantorel install record 2" + text.substr(text.find('\n')) +
                               "key HKCR\\.doc\n" + value + "\n";
  EXPECT_EQ(std::string(InstallRecordText(record).Text()), withKeys);
  EXPECT_EQ(ParseInstallRecord(withKeys.data(), withKeys.size(), record), 0);
}

TEST(InstallRecordParser, RefusesAnythingElseNamingTheLine) {
  const std::string head = "Vantorel install record 1\nApp\n";
  const BadLog cases[] = {
      {"empty file", "", 1},
      {"another first line", "Vantorel install record 3\nApp\n", 1},
      {"no name", "Vantorel install record 1\n\n", 2},
      {"a name that names a key below another", "Vantorel install record 1\nA\\B\n", 2},
      {"CR LF", "Vantorel install record 1\r\nApp\r\n", 1},
      {"unknown kind", head + "files a.exe\n", 3},
      {"kinds out of order", head + "file a.exe\nfolder Docs\n", 4},
      {"a path twice, case aside", head + "file a.exe\nfile A.EXE\n", 4},
      {"..", head + "file Docs\\..\\..\\x.dll\n", 3},
      {". as a part", head + "folder Docs\\.\n", 3},
      {"a file named .", head + "file .\n", 3},
      {"a drive", head + "file C:\\x.dll\n", 3},
      {"a leading separator", head + "file \\x.dll\n", 3},
      {"an empty part", head + "file Docs\\\\x.dll\n", 3},
      {"a stream", head + "file app.exe:hidden\n", 3},
      {"a slash", head + "file Docs/../x\n", 3},
      {"a device", head + "file Docs\\nul.txt\n", 3},
      {"another device", head + "file COM7\n", 3},
      {"a trailing dot", head + "file app.exe.\n", 3},
      {"a trailing blank", head + "file app.exe \n", 3},
      {"outside, not full", head + "outside windows\\x.dll\n", 3},
      {"outside through ..", head + "outside C:\\windows\\..\\x.dll\n", 3},
      {"outside with a stream", head + "outside C:\\x.dll:s\n", 3},
      {"shared without raises", head + "shared C:\\s.dll\n", 3},
      {"shared 0 times", head + "shared 0 C:\\s.dll\n", 3},
      {"shared with a leading zero", head + "shared 01 C:\\s.dll\n", 3},
      {"shared twice", head + "shared 1 C:\\s.dll\nshared 2 c:\\S.DLL\n", 4},
      {"an earlier install without its digest", head + "earlier C:\\Old\n", 3},
      {"a digest in capitals", head + "earlier " + std::string(64, 'A') + " C:\\Old\n", 3},
      {"a digest too short", head + "earlier " + std::string(63, 'a') + " C:\\Old\n", 3},
      {"an earlier folder not full", head + "earlier " + std::string(64, '0') + " Old\n", 3},
      {"an earlier install before a file",
       head + "earlier " + std::string(64, '0') + " C:\\Old\nfile a.exe\n", 4},
      {"format 2 without keys", "Vantorel install record 2\nApp\nfile a.exe\n", 1},
      {"format 1 with a key", head + "key HKCU\\Software\n", 1},
      {"a key of no root", head + "key HKXY\\Software\n", 3},
      {"a key with an empty part", head + "key HKLM\\Software\\\\X\n", 3},
      {"a root alone", head + "key HKLM\\\n", 3},
      {"a value without a name's =", head + "value " + std::string(64, 'a') + " HKLM\\X\n", 3},
      {"a value before a key", head + "value " + std::string(64, 'a') + " HKLM\\X=\nkey HKLM\\X\n",
       4},
      {"no line end", head + "file a.exe", 3},
      {"an empty line", head + "\n", 3},
  };
  for (const BadLog& c : cases) {
    SCOPED_TRACE(c.what);
    InstallRecord record;
    record.appName = "unchanged";
    EXPECT_EQ(ParseInstallRecord(c.text.data(), c.text.size(), record), c.line);
    EXPECT_STREQ(record.appName, "unchanged");
  }
}

// An upgrade's record holds both installs: paths once, raises summed.
TEST(InstallRecordParser, MergeKeepsEveryPathAndAddsTheRaises) {
  InstallRecord first, second;
  AppendPath(first.files, "a.exe");
  AppendPath(first.files, "c.dll");
  AddSharedRaises(first, "C:\\s.dll", 1);
  AppendPath(second.files, "A.EXE");
  AppendPath(second.files, "b.dll");
  AddSharedRaises(second, "c:\\S.dll", 1);
  AddSharedRaises(second, "C:\\t.dll", 2);
  MergeInstallRecord(first, second);
  EXPECT_EQ(Paths(first.files), (std::vector<std::string>{"a.exe", "c.dll", "b.dll"}));
  EXPECT_EQ(Paths(first.sharedFiles), (std::vector<std::string>{"2 C:\\s.dll", "2 C:\\t.dll"}));
}

// ---- paths ----

TEST(UninstallerPathRules, PlainPathsNameOnePlaceBelowTheirFolder) {
  for (const char* path : {"a", "Docs\\Manual\\read me.txt", "a.b.c", "...x", "nullify.txt",
                           "COM10", "con~1", "LPT0"}) {
    EXPECT_TRUE(IsPlainRelativePath(path)) << path;
  }
  for (const char* path :
       {"",     ".",   "..",       "a\\..\\b",    "a\\.",       "\\a", "a\\", "C:\\a",
        "a:b",  "a/b", "a*",       "a?",          "a\"b",       "a<",  "a>",  "a|b",
        "a\tb", "aux", "Aux .txt", "x\\lpt9.log", "con.tar.gz", "a.",  "a "}) {
    EXPECT_FALSE(IsPlainRelativePath(path)) << path;
  }
  EXPECT_TRUE(IsPlainFullPath("C:\\Program Files\\App\\a.dll"));
  EXPECT_TRUE(IsPlainFullPath("\\\\server\\share\\a.dll"));
  for (const char* path :
       {"C:\\", "C:a", "\\\\?\\C:\\a", "\\\\.\\nul", "C:\\a\\..\\b", "C:\\a:stream", "C:\\nul"}) {
    EXPECT_FALSE(IsPlainFullPath(path)) << path;
  }
}

TEST(UninstallerPathRules, ADestinationNamesTheFolderWindowsOpens) {
  const struct {
    const char* text;
    const char* destination;  // null: refused
  } cases[] = {
      {"C:\\Games\\App", "C:\\Games\\App"},
      {"C:/Games/Fwd", "C:\\Games\\Fwd"},
      {"C:\\Games\\App\\", "C:\\Games\\App"},
      {"C:\\Games\\Blank ", "C:\\Games\\Blank"},
      {"C:\\Games. \\Dots...", "C:\\Games\\Dots"},
      {"//server/share/App", "\\\\server\\share\\App"},
      {"\\\\server\\share", nullptr},
      {"Games\\Rel", nullptr},
      {"C:Games\\X", nullptr},
      {"\\Games", nullptr},
      {"", nullptr},
      {"C:\\", nullptr},
      {"C:/", nullptr},
      {"\\\\server", nullptr},
      {"C:\\Games\\App\\\\", nullptr},
      {"C:\\Games\\..\\Windows", nullptr},
      {"C:\\Games\\...\\App", nullptr},
      {"C:\\Games\\nul", nullptr},
      {"C:\\Games\\a:b", nullptr},
      {" C:\\Games", nullptr},
  };
  for (const auto& row : cases) {
    SharedString destination("unchanged");
    const bool accepted = DestinationFromText(row.text, destination);
    EXPECT_EQ(accepted, row.destination != nullptr) << row.text;
    EXPECT_STREQ(destination, row.destination != nullptr ? row.destination : "unchanged")
        << row.text;
  }
#ifndef _WIN32
  // In code page 932 "\x95\x5C" is one character: its second byte is no
  // separator, and no trailing one is dropped.
  support::DoubleByteCodePage codePage;
  SharedString destination;
  EXPECT_TRUE(DestinationFromText("C:\\\x95\x5C/App\x95\x5C", destination));
  EXPECT_STREQ(destination, "C:\\\x95\x5C\\App\x95\x5C");
#endif
}

struct FolderCase {
  const char* folder;
  const char* other;
  bool sameOrAbove;
};

TEST(UninstallerPathRules, AFolderHoldsWhatLiesBelowItWhateverTheCase) {
  const FolderCase cases[] = {
      {"C:\\windows", "C:\\windows", true},
      {"C:\\WINDOWS\\", "c:\\windows", true},
      {"C:\\", "C:\\windows\\system32", true},
      {"C:", "C:\\windows", true},
      {"C:\\users", "C:\\users\\me\\Desktop", true},
      {"C:\\Program Files\\App", "C:\\Program Files", false},
      {"C:\\Program", "C:\\Program Files", false},
      {"C:\\Program Files (x86)", "C:\\Program Files", false},
      {"D:\\", "C:\\windows", false},
      {"\\\\server\\share", "\\\\server\\share\\users", true},
      {"\\\\server\\share\\App", "\\\\server\\share", false},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(std::string(c.folder) + " / " + c.other);
    EXPECT_EQ(IsSameOrAbove(c.folder, c.other), c.sameOrAbove);
  }
}

TEST(UninstallerPathRules, RootsAreDrivesAndShares) {
  for (const char* root :
       {"C:", "C:\\", "z:\\", "\\\\server\\share", "\\\\server\\share\\", "\\\\server"}) {
    EXPECT_TRUE(IsRootFolder(root)) << root;
  }
  for (const char* folder : {"C:\\App", "C:\\App\\", "\\\\server\\share\\App", "C:\\a\\b"}) {
    EXPECT_FALSE(IsRootFolder(folder)) << folder;
  }
}

// In a double-byte code page the second byte of a character may be 0x5C,
// the code of "\" ("\x95\\" is one character here, as in Shift-JIS).
TEST(UninstallerPathRules, TrailBytesThatLookLikeSeparatorsAreNoSeparators) {
#ifndef _WIN32
  {
    support::DoubleByteCodePage codePage;
    EXPECT_FALSE(HasSeparator("\x95\\"));
    EXPECT_EQ(LastSeparator("C:\\\x95\\"), 2);
    EXPECT_FALSE(IsSameOrAbove("C:\\A\x95\\", "C:\\A\x95\\b"));
    EXPECT_TRUE(IsSameOrAbove("C:\\A\x95\\", "C:\\A\x95\\\\b"));
    SharedString logPath;
    EXPECT_FALSE(LogPathFromCommandLine("VTUnInst.exe C:\\App\x95\\Uninst.log", logPath));
  }
  EXPECT_TRUE(HasSeparator("\x95\\"));
#else
  GTEST_SKIP() << "lead bytes come from the system's code page here";
#endif
}

}  // namespace
