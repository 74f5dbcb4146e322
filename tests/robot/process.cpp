// Starting a program, waiting for its exit code, killing it on timeout.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <utility>

#include "robot/robot.h"

namespace robot {
namespace {

// Quotes one argument so that the C runtime's parser gives it back unchanged:
// backslashes double only before a quote or the closing quote.
std::string QuoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
    return argument;
  }
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') backslashes = backslashes * 2 + 1;
    quoted.append(backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

std::string UpperCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(std::toupper(c)); });
  return text;
}

// The test's environment with `changes` applied, as a Windows environment
// block: "NAME=value" strings sorted without case, ended by an empty one.
std::string EnvironmentBlock(const std::vector<std::string>& changes) {
  std::map<std::string, std::string> byName;  // key: upper-case name
  char* current = GetEnvironmentStringsA();
  for (const char* entry = current; *entry; entry += strlen(entry) + 1) {
    // Entries such as "=C:=C:\dir" start with '=': their name has it too.
    const char* equals = strchr(entry + 1, '=');
    if (!equals) continue;
    byName[UpperCase(std::string(entry, equals))] = entry;
  }
  FreeEnvironmentStringsA(current);
  for (const std::string& change : changes) {
    size_t equals = change.find('=', 1);
    if (equals == std::string::npos) continue;
    std::string name = UpperCase(change.substr(0, equals));
    if (equals + 1 == change.size()) {
      byName.erase(name);
    } else {
      byName[name] = change;
    }
  }
  std::string block;
  for (const auto& entry : byName) {
    block += entry.second;
    block += '\0';
  }
  block += '\0';
  return block;
}

std::string LastErrorText(const char* what) {
  return std::string(what) + " failed with error " + std::to_string(GetLastError());
}

}  // namespace

Program::Program(Program&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)),
      id_(std::exchange(other.id_, 0)),
      error_(std::move(other.error_)) {}

Program& Program::operator=(Program&& other) noexcept {
  if (this != &other) {
    Release();
    process_ = std::exchange(other.process_, nullptr);
    id_ = std::exchange(other.id_, 0);
    error_ = std::move(other.error_);
  }
  return *this;
}

Program::~Program() { Release(); }

void Program::Release() {
  if (!process_) return;
  if (Running()) {
    TerminateProcess(process_, 255);
    WaitForSingleObject(process_, kDefaultTimeoutMs);
  }
  CloseHandle(process_);
  process_ = nullptr;
}

bool Program::Running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

namespace {

// CreateProcessA with the test's environment changed by `options`; a null
// `application` lets Windows take the program from the command line.
Program CreateWith(const char* application, const std::string& commandLine,
                   const StartOptions& options) {
  std::string environment;
  if (!options.environment.empty()) environment = EnvironmentBlock(options.environment);

  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started = {};
  std::vector<char> writableCommandLine(commandLine.begin(), commandLine.end());
  writableCommandLine.push_back('\0');
  if (!CreateProcessA(application, writableCommandLine.data(), nullptr, nullptr, FALSE, 0,
                      environment.empty() ? nullptr : &environment[0],
                      options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str(),
                      &startup, &started)) {
    Program failed;
    failed.SetError(LastErrorText("CreateProcessA") + " for " + commandLine);
    return failed;
  }
  CloseHandle(started.hThread);
  return Program(started.hProcess, started.dwProcessId);
}

}  // namespace

Program Start(const std::string& path, const std::vector<std::string>& arguments,
              const StartOptions& options) {
  std::string commandLine = QuoteArgument(path);
  for (const std::string& argument : arguments) {
    commandLine += ' ';
    commandLine += QuoteArgument(argument);
  }
  return CreateWith(path.c_str(), commandLine, options);
}

Program StartCommandLine(const std::string& commandLine, const StartOptions& options) {
  return CreateWith(nullptr, commandLine, options);
}

Program Start(const std::wstring& path) {
  std::wstring commandLine = L"\"" + path + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    Program failed;
    failed.SetError(LastErrorText("CreateProcessW"));
    return failed;
  }
  CloseHandle(started.hThread);
  return Program(started.hProcess, started.dwProcessId);
}

std::optional<DWORD> WaitForExit(Program& program, DWORD timeoutMs) {
  if (!program.Started()) return std::nullopt;
  if (WaitForSingleObject(program.Handle(), timeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(program.Handle(), 255);
    WaitForSingleObject(program.Handle(), kDefaultTimeoutMs);
    return std::nullopt;
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(program.Handle(), &code)) return std::nullopt;
  return code;
}

std::string WindowsPathOf(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

}  // namespace robot
