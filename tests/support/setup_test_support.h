// What the setup tests share: where the packed setup executables and their
// input files are, running a setup program and driving its last dialog,
// reading installed files, and editing a package's bytes.
#ifndef VANTOREL_TESTS_SUPPORT_SETUP_TEST_SUPPORT_H
#define VANTOREL_TESTS_SUPPORT_SETUP_TEST_SUPPORT_H

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "box_recorder.h"
#include "registry.h"
#include "robot/robot.h"
#include "test_package_writer.h"
#include "ui/resource_ids.h"

namespace setuptest {

using Bytes = std::vector<std::uint8_t>;
using support::RegistryText;

// ---- the test program's own paths ----

// Linux paths, defined for each test program by vantorel_setup_test_paths
// (cmake/VantorelTests.cmake): the folder of its packed setup executables,
// and the setup program and uninstaller they are packed around.
extern const char kPackagesFolder[];
extern const char kSetupProgram[];
extern const char kUninstallerProgram[];

// ---- the packed setup executables (tests/setup/make-packages) ----

// Windows path of packages/<name>.exe, packed from projects/<name>.toml.
std::string PackagePath(const std::string& name);
// Windows path of one of the staged input files.
std::string InputFile(const std::string& name);
// A fresh folder of this test's own for setup files it writes.
std::string ScratchFolder(const std::string& name);

// ---- folders and keys of the prefix ----

inline constexpr char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";
// Where Windows counts the installs of shared files, path by path.
inline constexpr char kSharedDlls[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

std::string WindowsDirectory();
std::string SystemDirectory();
std::string ProgramFilesDirectory();  // as the registry gives it
std::string CommonFilesDirectory();
std::string FontsDirectory();
// The uninstaller setup writes, by this build's name for it (VTUnInst64.exe
// in a 64-bit one): into the Windows folder, or a per-user install's `folder`.
std::string InstalledUninstaller(const std::string& folder = WindowsDirectory());
// Where a package's AppName is installed without a destination page.
std::string DefaultDestination(const std::string& appName);

// ---- shell folders, shell links and the registry ----

// A special folder's path as the shell gives it (SHGetFolderPathA).
std::string SpecialFolderPath(int csidl);
// The key of an application's Uninstall entry, below HKEY_LOCAL_MACHINE.
std::string UninstallKey(const std::string& appName);
// What lnkinfo (liblnk-utils: a reader of .lnk files that is neither
// Windows' nor Wine's) shows of a shell link; nothing when it cannot read it.
struct LinkInfo {
  std::string localPath;
  std::string workingDirectory;
};
std::optional<LinkInfo> ReadShellLink(const std::string& linkPath);
// Runs the /bin/sh `script` on the Linux side of the prefix, as someone who
// may write its folders there could (Wine makes no symbolic links itself),
// with the Linux paths of `paths` as $1, $2, ...; true when it ended with
// status 0.
bool RunLinuxShell(const std::string& script, const std::vector<std::string>& paths);

// ---- files ----

std::optional<Bytes> ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const Bytes& bytes);
bool Exists(const std::string& path);
// Deletes a file or a whole folder; true when nothing is left.
bool RemovePath(const std::string& path);
bool MakeFolders(const std::string& path);
// Keeps a file open for reading, letting others read it only (neither
// write, rename nor delete it), as a program keeps a file it uses.
class FileInUse {
 public:
  explicit FileInUse(const std::string& path)
      : handle_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~FileInUse() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileInUse(const FileInUse&) = delete;
  FileInUse& operator=(const FileInUse&) = delete;
  bool Open() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// Every file below the folders and every other path given, with its bytes,
// and every value of the keys below HKEY_LOCAL_MACHINE: what a refusal must
// leave as it was.
std::map<std::string, std::string> StateOf(const std::vector<std::string>& paths,
                                           const std::vector<std::string>& keys);
std::optional<FILETIME> LastWriteTime(const std::string& path);
// The time cut to its minute: what setup keeps of a stamp.
FILETIME ToMinute(FILETIME time);
std::string Describe(FILETIME time);

// ---- what waits for the next start of Windows ----

// Restores the pending file operations (the Session Manager's
// "PendingFileRenameOperations") as they were: nothing of a test may happen
// at a later start of the prefix's server.
class PendingOperationsGuard {
 public:
  PendingOperationsGuard();
  ~PendingOperationsGuard();

 private:
  std::optional<support::RegistryData> saved_;
};

// ---- running setup ----

robot::Program StartSetup(const std::string& path, const robot::StartOptions& options = {});
// The finish dialog (caption "<AppName> Setup", a "&Finish" button), or
// null when it did not appear. Setup's progress dialog has the same
// caption, so the button tells them apart.
HWND WaitForFinishDialog(const robot::Program& setup, const std::string& caption,
                         DWORD timeoutMs = 20000);
// Reads the message box the setup shows next and presses `answer`.
std::optional<robot::MessageBoxContent> AnswerNextBox(const robot::Program& setup, int answer,
                                                      DWORD timeoutMs = 20000);

// What a setup showed on its way to its end.
struct SetupRun {
  bool started = false;
  std::vector<robot::MessageBoxContent> boxes;  // in order; each answered with OK
  bool finishDialog = false;
  bool restartDialog = false;  // left with "No": nothing restarts
  std::optional<DWORD> exitCode;
};
// Runs the setup at `path`, whose windows have the caption `caption`, to
// its end: every message box is read and answered with OK, the closing
// dialog is left through Finish.
SetupRun RunSetupToEnd(const std::string& path, const std::string& caption);
// The same for a setup started already.
SetupRun FinishSetupRun(robot::Program& setup, const std::string& caption);

// A program started from `commandLine` as a deployment tool starts it, and
// watched until it ends: a run under "/S" shows no window. When one does
// appear, the program is ended at once (a box would wait forever).
struct UnseenRun {
  std::optional<DWORD> exitCode;
  bool windowSeen = false;
};
UnseenRun RunUnseen(const std::string& commandLine);

// ---- package bytes ----

// Offsets of a package's parts within its setup file, found with the
// setup program's own reader.
struct PackageMap {
  std::uint32_t headerOffset = 0;
  std::uint64_t fileTableOffset = 0;  // D2: the file count
  std::uint64_t firstTypeOffset = 0;  // DestinationType of the first record
  std::uint64_t fileDataOffset = 0;   // D3: its two sizes
  std::uint32_t fileDataCompressedSize = 0;
};
std::optional<PackageMap> MapPackage(const Bytes& setupFile);
// A setup file made of the real setup program and the package of a file
// built by hand (whose own stand-in image is dropped): for what vtpack
// refuses to write.
Bytes SetupFileAround(const Bytes& handBuiltPackage);
void PutU32(Bytes& bytes, std::uint64_t offset, std::uint32_t value);

// ---- packages built by hand ----

// A package that selects no wizard page and carries the real uninstaller.
testpkg::TestPackage PackageWithoutPages(const std::string& appName);
testpkg::TestFile& AddFile(testpkg::TestPackage& package, const std::string& name,
                           const Bytes& contents, const std::string& subDirectory = "");
// Bytes that no compressor shrinks and that differ at every offset.
Bytes Noise(std::size_t size, std::uint32_t seed);
// Writes `setupFile` as setup.exe into a fresh scratch folder; its path.
std::string WriteSetup(const std::string& folder, const Bytes& setupFile);

}  // namespace setuptest

#endif
