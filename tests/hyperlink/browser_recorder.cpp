#include "browser_recorder.h"

#include <tlhelp32.h>

#include "robot/robot.h"

#include <fstream>
#include <string>

namespace browsertest {

namespace {

bool KeyExists(HKEY root, const std::string& key) {
  HKEY opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

// The shortest leading part of `key` that does not exist yet: deleting it
// removes everything a creation of `key` added. Empty when `key` exists.
std::string FirstMissingPart(HKEY root, const std::string& key) {
  for (size_t end = key.find('\\'); ; end = key.find('\\', end + 1)) {
    std::string part = key.substr(0, end);
    if (!KeyExists(root, part)) return part;
    if (end == std::string::npos) return "";
  }
}

std::optional<std::string> ReadText(HKEY root, const std::string& key, const std::string& value) {
  char buffer[4096] = {};
  DWORD size = sizeof buffer - 1;
  if (RegGetValueA(root, key.c_str(), value.empty() ? nullptr : value.c_str(),
                   RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(buffer);
}

void WriteText(HKEY root, const std::string& key, const std::string& value,
               const std::optional<std::string>& text) {
  HKEY opened;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  const char* name = value.empty() ? nullptr : value.c_str();
  if (text) {
    RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text->c_str()),
                   static_cast<DWORD>(text->size() + 1));
  } else {
    RegDeleteValueA(opened, name);
  }
  RegCloseKey(opened);
}

// Whether a program started from `folder` runs.
bool RunsFrom(const std::string& folder) {
  bool running = false;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more && !running;
       more = Process32Next(snapshot, &entry)) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
    if (!process) continue;
    char path[MAX_PATH];
    DWORD size = MAX_PATH;
    if (QueryFullProcessImageNameA(process, 0, path, &size)) {
      running = _strnicmp(path, folder.c_str(), folder.size()) == 0;
    }
    CloseHandle(process);
  }
  CloseHandle(snapshot);
  return running;
}

}  // namespace

ScopedRegistryValue::ScopedRegistryValue(HKEY root, const std::string& key,
                                         const std::string& value,
                                         const std::optional<std::string>& text)
    : root_(root), key_(key), value_(value) {
  createdPart_ = FirstMissingPart(root, key);
  previous_ = ReadText(root, key, value);
  WriteText(root, key, value, text);
}

ScopedRegistryValue::~ScopedRegistryValue() {
  if (!createdPart_.empty()) {
    RegDeleteTreeA(root_, createdPart_.c_str());
    RegDeleteKeyA(root_, createdPart_.c_str());
  } else {
    WriteText(root_, key_, value_, previous_);
  }
}

Recorders::Recorders(const std::string& name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  folder_ = std::string(temp) + name;
  CreateDirectoryA(folder_.c_str(), nullptr);
  ClearLog();
}

std::string Recorders::Path(const std::string& name) const { return folder_ + "\\" + name; }

std::string Recorders::Copy(const std::string& name) const {
  std::string path = Path(name);
  CopyFileA(robot::WindowsPathOf(LAUNCH_RECORDER).c_str(), path.c_str(), FALSE);
  return path;
}

std::vector<std::string> Recorders::Launches() const {
  std::vector<std::string> lines;
  std::ifstream log(folder_ + "\\launches.txt");
  for (std::string line; std::getline(log, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Recorders::WaitForLaunches(size_t count) const {
  std::vector<std::string> lines;
  robot::WaitUntil([&] { return (lines = Launches()).size() >= count; }, 10000);
  return lines;
}

bool Recorders::WaitUntilNoneRuns() const {
  return robot::WaitUntil([&] { return !RunsFrom(folder_); }, 10000);
}

void Recorders::ClearLog() const { DeleteFileA((folder_ + "\\launches.txt").c_str()); }

std::string Command(const std::string& program, const std::string& arguments) {
  return "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
}

}  // namespace browsertest
