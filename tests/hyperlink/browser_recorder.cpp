#include "browser_recorder.h"

#include <tlhelp32.h>

#include <fstream>
#include <string>

#include "robot/robot.h"

namespace browsertest {

namespace {

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
