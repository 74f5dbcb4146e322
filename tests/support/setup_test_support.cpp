#include "setup_test_support.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "base/messages.h"
#include "base/uninstall_names.h"
#include "package/file_table.h"
#include "package/header_reader.h"
#include "package/memory_package_file.h"
#include "package/package_input.h"
#include "package/stored_block.h"
#include "package/whole_package.h"

namespace setuptest {

std::string PackagePath(const std::string& name) {
  return robot::WindowsPathOf(std::string(kPackagesFolder) + "/" + name + ".exe");
}

std::string InputFile(const std::string& name) {
  return robot::WindowsPathOf(std::string(kPackagesFolder) + "/files/" + name);
}

std::string ScratchFolder(const std::string& name) {
  std::string folder = robot::WindowsPathOf(std::string(kPackagesFolder) + "/scratch/" + name);
  RemovePath(folder);
  MakeFolders(folder);
  return folder;
}

std::string WindowsDirectory() {
  char buffer[MAX_PATH];
  return std::string(buffer, GetWindowsDirectoryA(buffer, MAX_PATH));
}

std::string SystemDirectory() {
  char buffer[MAX_PATH];
  return std::string(buffer, GetSystemDirectoryA(buffer, MAX_PATH));
}

std::string ProgramFilesDirectory() {
  return RegistryText(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir").value_or("");
}

std::string CommonFilesDirectory() {
  return RegistryText(HKEY_LOCAL_MACHINE, kCurrentVersion, "CommonFilesDir").value_or("");
}

std::string FontsDirectory() {
  char buffer[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_FONTS, nullptr, 0, buffer);
  return buffer;
}

std::string InstalledUninstaller(const std::string& folder) {
  return folder + "\\" + uninstall::kUninstallerName;
}

std::string DefaultDestination(const std::string& appName) {
  return ProgramFilesDirectory() + "\\" + appName;
}

std::string SpecialFolderPath(int csidl) {
  char buffer[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, 0, buffer);
  return buffer;
}

std::string UninstallKey(const std::string& appName) {
  return std::string(kCurrentVersion) + "\\Uninstall\\" + appName;
}

namespace {

// The Linux path of a file that Wine programs see at `path`.
std::string UnixPathOf(const std::string& path) {
  typedef char*(CDECL * UnixNameFunction)(LPCWSTR);
  auto unixName = reinterpret_cast<UnixNameFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixName) return "";
  std::wstring wide(path.begin(), path.end());
  char* name = unixName(wide.c_str());
  if (!name) return "";
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

// The text after "<label>:" on lnkinfo's line for it, without blanks.
std::string LnkinfoField(const std::string& output, const std::string& label) {
  size_t at = output.find("\t" + label + "\t");
  if (at == std::string::npos) return "";
  at = output.find(':', at);
  size_t end = output.find('\n', at);
  std::string value = output.substr(at + 1, end - at - 1);
  value.erase(0, value.find_first_not_of(" \t"));
  while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
  return value;
}

}  // namespace

bool RunLinuxShell(const std::string& script, const std::vector<std::string>& paths) {
  // Wine starts a Linux program like a Windows one, but gives no handle to
  // wait on: the shell writes the script's status under another name and
  // renames it when the script is done.
  const std::string status = ScratchFolder("linux shell") + "\\status";
  std::vector<std::string> arguments = {
      "-c", "(" + script + "); echo $? >\"$0.part\"; mv \"$0.part\" \"$0\"", UnixPathOf(status)};
  for (const std::string& path : paths) arguments.push_back(UnixPathOf(path));
  robot::Start("Z:\\bin\\sh", arguments);
  if (!robot::WaitUntil([&] { return Exists(status); })) return false;
  auto text = ReadBytes(status);
  return text && !text->empty() && (*text)[0] == '0';
}

std::optional<LinkInfo> ReadShellLink(const std::string& linkPath) {
  const std::string output = ScratchFolder("lnkinfo") + "\\output.txt";
  RunLinuxShell("/usr/bin/lnkinfo \"$1\" >\"$2\" || : >\"$2\"", {linkPath, output});
  auto text = ReadBytes(output);
  if (!text || text->empty()) return std::nullopt;
  const std::string shown(text->begin(), text->end());
  return LinkInfo{LnkinfoField(shown, "Local path"), LnkinfoField(shown, "Working directory")};
}

// Every file below the folders and every other path given, with its bytes,
// and every value of the keys: what a refusal must leave as it was.
std::map<std::string, std::string> StateOf(const std::vector<std::string>& paths,
                                           const std::vector<std::string>& keys) {
  std::map<std::string, std::string> state;
  std::vector<std::string> pending = paths;
  while (!pending.empty()) {
    const std::string path = pending.back();
    pending.pop_back();
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      state[path] = "(missing)";
    } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      auto bytes = ReadBytes(path);
      state[path] = bytes ? std::string(bytes->begin(), bytes->end()) : "(unreadable)";
    } else {
      state[path] = "(folder)";
      WIN32_FIND_DATAA entry;
      HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
      for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry)) {
        if (entry.cFileName[0] != '.') pending.push_back(path + "\\" + entry.cFileName);
      }
      if (search != INVALID_HANDLE_VALUE) FindClose(search);
    }
  }
  for (const std::string& key : keys) {
    HKEY open;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &open) != ERROR_SUCCESS) {
      state[key] = "(no key)";
      continue;
    }
    char name[16384];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
      DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
      if (RegEnumValueA(open, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
          ERROR_SUCCESS) {
        break;
      }
      state[key + "|" + name] =
          std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), dataSize);
    }
    RegCloseKey(open);
  }
  return state;
}

std::optional<Bytes> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemovePath(const std::string& path) {
  if (!Exists(path)) return true;
  // SHFileOperation wants a list ending in two NULs.
  std::string list = path + '\0';
  SHFILEOPSTRUCTA operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = list.c_str();
  operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  SHFileOperationA(&operation);
  return !Exists(path);
}

bool MakeFolders(const std::string& path) {
  int result = SHCreateDirectoryExA(nullptr, path.c_str(), nullptr);
  return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS;
}

std::optional<FILETIME> LastWriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return data.ftLastWriteTime;
}

FILETIME ToMinute(FILETIME time) {
  const std::uint64_t kTicksPerMinute = 60ull * 10000000ull;
  std::uint64_t ticks =
      (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  ticks -= ticks % kTicksPerMinute;
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

std::string Describe(FILETIME time) {
  SYSTEMTIME utc;
  if (!FileTimeToSystemTime(&time, &utc)) return "(not a time)";
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u UTC", utc.wYear, utc.wMonth,
                utc.wDay, utc.wHour, utc.wMinute, utc.wSecond, utc.wMilliseconds);
  return text;
}

robot::Program StartSetup(const std::string& path, const robot::StartOptions& options) {
  return robot::Start(path, {}, options);
}

HWND WaitForFinishDialog(const robot::Program& setup, const std::string& caption, DWORD timeoutMs) {
  HWND found = nullptr;
  robot::WaitUntil(
      [&] {
        HWND dialog = robot::WaitForTopWindow(setup.Id(), "#32770", caption, 0);
        HWND finish = dialog ? robot::ChildById(dialog, IDC_FINISH) : nullptr;
        if (finish && robot::TextOf(finish) == "&Finish") found = dialog;
        return found != nullptr || !setup.Running();
      },
      timeoutMs);
  return found;
}

std::optional<robot::MessageBoxContent> AnswerNextBox(const robot::Program& setup, int answer,
                                                      DWORD timeoutMs) {
  HWND box = robot::WaitForMessageBox(setup.Id(), timeoutMs);
  if (!box) return std::nullopt;
  robot::MessageBoxContent content = robot::ReadMessageBox(box);
  // A slow program (the 32-bit one under emulation) keeps the answered box
  // a while: the next box looked for must not be this one again.
  if (robot::AnswerMessageBox(box, answer)) robot::WaitForWindowToClose(box, timeoutMs);
  return content;
}

SetupRun RunSetupToEnd(const std::string& path, const std::string& caption) {
  robot::Program setup = StartSetup(path);
  return FinishSetupRun(setup, caption);
}

SetupRun FinishSetupRun(robot::Program& setup, const std::string& caption) {
  SetupRun run;
  run.started = setup.Started();
  // A message box or a closing dialog: a dialog with a text Static of id
  // 0xFFFF. Not the progress dialog, whose phase text is a control of its
  // own (and which may have lost its controls already while setup ends).
  auto answerable = [](HWND window) {
    return robot::ClassOf(window) == "#32770" && robot::ChildById(window, 0xFFFF) &&
           !robot::ChildById(window, IDC_PROGRESS_TEXT);
  };
  // Until setup has ended: each window it shows is read and answered.
  robot::WaitUntil(
      [&] {
        HWND window = robot::WaitForTopWindow(setup.Id(), answerable, 0);
        if (!window) return !setup.Running();
        // The closing dialogs' text is a Static of id 0xFFFF, as in a message
        // box: their Finish button tells them apart.
        HWND finish = robot::ChildById(window, IDC_FINISH);
        if (finish && robot::TextOf(finish) == "&Finish" && robot::TextOf(window) == caption) {
          HWND no = robot::ChildById(window, IDC_RESTART_NO);
          if (no) {
            run.restartDialog = true;
            robot::Click(no);
            robot::WaitForPostedMessages(no);
          } else {
            run.finishDialog = true;
          }
          robot::Click(finish);
        } else {
          run.boxes.push_back(robot::ReadMessageBox(window));
          robot::AnswerMessageBox(window, IDOK);
        }
        robot::WaitForWindowToClose(window);
        return false;
      },
      60000);
  run.exitCode = robot::WaitForExit(setup);
  return run;
}

namespace {
const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kPendingOperations[] = "PendingFileRenameOperations";
}  // namespace

PendingOperationsGuard::PendingOperationsGuard()
    : saved_(support::RegistryValue(HKEY_LOCAL_MACHINE, kSessionManager, kPendingOperations)) {}

PendingOperationsGuard::~PendingOperationsGuard() {
  support::WriteRegistryValue(HKEY_LOCAL_MACHINE, kSessionManager, kPendingOperations, saved_);
}

UnseenRun RunUnseen(const std::string& commandLine) {
  UnseenRun run;
  robot::Program program = robot::StartCommandLine(commandLine);
  robot::WaitUntil(
      [&] {
        run.windowSeen = robot::WaitForTopWindow(
            program.Id(), [](HWND) { return true; }, 0);
        return run.windowSeen || !program.Running();
      },
      60000);
  if (!run.windowSeen) run.exitCode = robot::WaitForExit(program);
  return run;
}

std::optional<PackageMap> MapPackage(const Bytes& setupFile) {
  support::BoxRecorder quiet;  // the reader's boxes, if any
  MemoryPackageFile file(setupFile.data(), setupFile.size());
  PackageInput input = {&file, "setup", "setup"};
  PackageMap map;
  PackageHeader header;
  SharedString licence;
  BlockBuffer uninstaller;
  FileTable files;
  bool read = ReadPackageTrailer(input, &map.headerOffset) &&
              ReadPackageHeader(input, map.headerOffset, &header) &&
              (header.HasLicence == 0 || ReadLicence(input, &licence)) &&
              ReadStoredBlock(input, StoredBlockVariant::kUninstaller, &uninstaller);
  if (read) {
    map.fileTableOffset = file.Position();
    read = ReadFileTable(input, &files) && files.Count() > 0;
  }
  if (read) {
    map.fileDataOffset = file.Position();
    map.firstTypeOffset = map.fileTableOffset + 8 + files[0].FileName.Length() + 1;
    std::uint32_t size = 0;
    read = file.Read(&size, 4);
    map.fileDataCompressedSize = size;
  }
  if (!read) return std::nullopt;
  return map;
}

Bytes SetupFileAround(const Bytes& handBuiltPackage) {
  Bytes setup = *ReadBytes(robot::WindowsPathOf(kSetupProgram));
  const std::size_t size = handBuiltPackage.size();
  std::uint32_t headerOffset = LoadU32(&handBuiltPackage[size - 4]);
  std::uint32_t newOffset = static_cast<std::uint32_t>(setup.size());
  setup.insert(setup.end(), handBuiltPackage.begin() + headerOffset, handBuiltPackage.end());
  PutU32(setup, setup.size() - 4, newOffset);
  return setup;
}

void PutU32(Bytes& bytes, std::uint64_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

testpkg::TestPackage PackageWithoutPages(const std::string& appName) {
  testpkg::TestPackage package;
  package.appName = appName;
  package.showWelcomePage = package.showDestinationPage = package.showShortcutsPage = 0;
  package.uninstaller = *ReadBytes(robot::WindowsPathOf(kUninstallerProgram));
  return package;
}

testpkg::TestFile& AddFile(testpkg::TestPackage& package, const std::string& name,
                           const Bytes& contents, const std::string& subDirectory) {
  testpkg::TestFile file;
  file.name = name;
  file.contents = contents;
  file.subDirectory = subDirectory;
  package.files.push_back(file);
  return package.files.back();
}

Bytes Noise(std::size_t size, std::uint32_t seed) {
  Bytes bytes(size);
  for (auto& byte : bytes) {
    seed = seed * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(seed >> 24);
  }
  return bytes;
}

std::string WriteSetup(const std::string& folder, const Bytes& setupFile) {
  std::string path = ScratchFolder(folder) + "\\setup.exe";
  WriteBytes(path, setupFile);
  return path;
}

}  // namespace setuptest
