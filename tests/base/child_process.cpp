#include "child_process.h"

#include <stdio.h>

#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <unistd.h>

#include <sys/wait.h>
extern char** environ;
#endif

std::string SiblingProgram(const std::string& name) {
#ifdef _WIN32
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string self(path, length);
  return self.substr(0, self.find_last_of("\\/") + 1) + name + ".exe";
#else
  char path[4096];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  std::string self(path, length > 0 ? static_cast<size_t>(length) : 0);
  return self.substr(0, self.find_last_of('/') + 1) + name;
#endif
}

int RunToEnd(const std::string& program, const std::vector<std::string>& arguments) {
#ifdef _WIN32
  std::string commandLine = "\"" + program + "\"";
  for (const std::string& argument : arguments) commandLine += " \"" + argument + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process))
    return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  } else {
    TerminateProcess(process.hProcess, 99);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
#else
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child;
  if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
#endif
}

std::string UniqueTemporaryFile(const std::string& stem) {
  static int counter = 0;
#ifdef _WIN32
  char directory[MAX_PATH];
  GetTempPathA(sizeof directory, directory);
  return std::string(directory) + stem + "-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(++counter) + ".txt";
#else
  return "/tmp/" + stem + "-" + std::to_string(getpid()) + "-" + std::to_string(++counter) + ".txt";
#endif
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}
