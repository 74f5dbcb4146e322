#include "packer/command_line/packed_programs.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace packer {
namespace {

namespace fs = std::filesystem;

// The folder vtpack runs from, links resolved: from /proc/self/exe, or,
// where /proc is not mounted (a bare chroot), from argv[0], a path or a name
// found in PATH.
fs::path ProgramDirectory(const char* argv0) {
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) {
    self = argv0;
    const char* path = std::getenv("PATH");
    std::istringstream folders(std::strchr(argv0, '/') == nullptr && path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
      if (::access((folder + "/" + argv0).c_str(), X_OK) == 0) {
        self = folder + "/" + argv0;
        break;
      }
    }
    self = fs::weakly_canonical(self, error);
  }
  return self.parent_path();
}

}  // namespace

Result<std::string> LocatePackedProgram(const std::string& given, const PackedProgram& program,
                                        const char* argv0) {
  if (!given.empty()) return given;
  fs::path directory = ProgramDirectory(argv0);
  std::string beside = (directory / program.fileName).string();
  std::string installed =
      (directory / VANTOREL_PROGRAMS_FROM_BIN / program.fileName).lexically_normal().string();
  for (const std::string& path : {beside, installed}) {
    if (::access(path.c_str(), F_OK) == 0) return path;
  }
  return Problem{"", std::string("the ") + program.role + " " + program.fileName +
                         " is neither beside vtpack (\"" + beside + "\") nor at \"" + installed +
                         "\"; name it with " + program.option};
}

}  // namespace packer
