#include "vtpack_runner.h"

#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>

#include "stand_in_image.h"

extern char** environ;

namespace packer_test {
namespace fs = std::filesystem;

ProjectFolder::ProjectFolder() {
  std::string pattern = (fs::temp_directory_path() / "vtpack-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
  Write("stub.exe", StubImage());
  Write("uninst.exe", UninstallerImage());
}

ProjectFolder::~ProjectFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void ProjectFolder::Write(const std::string& relative, const std::string& content) const {
  fs::path target = fs::path(path_) / relative;
  fs::create_directories(target.parent_path());
  std::ofstream(target, std::ios::binary) << content;
}

void ProjectFolder::Write(const std::string& relative, const packer::Bytes& content) const {
  Write(relative, std::string(content.begin(), content.end()));
}

bool ProjectFolder::Exists(const std::string& relative) const { return fs::exists(Path(relative)); }

std::vector<std::string> ProjectFolder::Entries() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

packer::Bytes ProjectFolder::Read(const std::string& relative) const {
  std::ifstream in(Path(relative), std::ios::binary);
  return packer::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ProjectFolder::SetModified(const std::string& relative, long long seconds) const {
  struct timespec times[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
  if (::utimensat(AT_FDCWD, Path(relative).c_str(), times, 0) != 0)
    throw std::runtime_error("utimensat");
}

packer::Bytes StubImage() { return support::StandInImage(1); }

std::uint32_t FileChecksum(const packer::Bytes& file, std::size_t field) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < file.size(); i += 2) {
    std::uint32_t word = file[i] | (i + 1 < file.size() ? file[i + 1] << 8 : 0);
    if (i >= field && i < field + 4) word = 0;
    sum += word;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  return sum + static_cast<std::uint32_t>(file.size());
}

packer::Bytes UninstallerImage() {
  packer::Bytes image = {'M', 'Z'};
  std::string body = "stand-in uninstaller ";
  for (int i = 0; i < 40; ++i) image.insert(image.end(), body.begin(), body.end());
  return image;
}

namespace {

std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  ::lseek(fd, 0, SEEK_SET);
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<std::size_t>(n));
  return text;
}

}  // namespace

std::string VtpackUnderTest() {
  const char* other = std::getenv("VTPACK_UNDER_TEST");
  return other != nullptr && *other != '\0' ? other : VTPACK_PATH;
}

RunResult RunVtpack(const std::vector<std::string>& args,
                    const std::map<std::string, std::optional<std::string>>& environment,
                    const std::string& program, RunOptions* options) {
  RunOptions defaults;
  RunOptions& watch = options ? *options : defaults;
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    std::string name = entry.substr(0, entry.find('='));
    if (!environment.count(name)) env.push_back(entry);
  }
  for (const auto& [name, value] : environment) {
    if (value) env.push_back(name + "=" + *value);
  }
  // Output goes to unlinked temporary files: no pipe can fill and block.
  FILE* out = std::tmpfile();
  FILE* err = std::tmpfile();
  int terminal = -1, terminalSide = -1;
  if (watch.errorsToTerminal && ::openpty(&terminal, &terminalSide, nullptr, nullptr, nullptr) != 0)
    throw std::runtime_error("openpty failed");
  pid_t child = ::fork();
  if (child == 0) {
    ::dup2(::fileno(out), 1);
    ::dup2(watch.errorsToTerminal ? terminalSide : ::fileno(err), 2);
    if (watch.fileSizeLimit > 0) {
      struct rlimit limit {};
      limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(watch.fileSizeLimit);
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    ::execve(program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  if (terminalSide >= 0) ::close(terminalSide);
  int status = 0;
  struct rusage usage {};
  auto start = std::chrono::steady_clock::now();
  bool timedOut = false;
  for (;;) {
    pid_t done = ::wait4(child, &status, WNOHANG, &usage);
    if (done == child) break;
    if (watch.signal != 0 && !watch.signalSent) {
      std::error_code ignored;
      for (const auto& entry : fs::directory_iterator(watch.watchFolder, ignored)) {
        if (entry.path().filename().string().rfind(watch.temporaryPrefix, 0) == 0) {
          ::kill(child, watch.signal);
          watch.signalSent = true;
          break;
        }
      }
    }
    if (std::chrono::steady_clock::now() - start > std::chrono::seconds(watch.timeoutSeconds)) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      timedOut = true;
      break;
    }
    ::usleep(watch.signal != 0 && !watch.signalSent ? 200 : 2000);
  }
  RunResult result;
  result.exitCode = timedOut            ? kTimedOut
                    : WIFEXITED(status) ? WEXITSTATUS(status)
                                        : 128 + WTERMSIG(status);
  result.peakMemoryKiB = usage.ru_maxrss;
  result.out = ReadAll(::fileno(out));
  // A terminal keeps what was written to it until read, also after vtpack ends.
  result.err = ReadAll(watch.errorsToTerminal ? terminal : ::fileno(err));
  if (terminal >= 0) ::close(terminal);
  std::fclose(out);
  std::fclose(err);
  return result;
}

RunResult BuildIn(const ProjectFolder& folder, const std::string& project,
                  const std::string& output, const std::vector<std::string>& extra,
                  const std::map<std::string, std::optional<std::string>>& environment,
                  RunOptions* options, const std::string& stub, const std::string& uninstaller) {
  auto inFolder = [&](const std::string& path) {
    return !path.empty() && path[0] == '/' ? path : folder.Path(path);
  };
  std::vector<std::string> args = {
      "build",         inFolder(project),    "-o", inFolder(output), "--stub", inFolder(stub),
      "--uninstaller", inFolder(uninstaller)};
  args.insert(args.end(), extra.begin(), extra.end());
  return RunVtpack(args, environment, VtpackUnderTest(), options);
}

std::string MinimalProject(const std::string& more) {
  return "[application]\nname = \"Test App\"\n" + more;
}

}  // namespace packer_test
