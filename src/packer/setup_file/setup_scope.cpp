#include "packer/setup_file/setup_scope.h"

#include <cerrno>
#include <cstring>

#include "package/stdio_package_file.h"
#include "packer/file_io.h"
#include "packer/pe/program_manifest.h"

namespace packer {

Result<InstallScope> ReadSetupScope(const std::string& path) {
  // A FIFO or device would block or never end: regular files only.
  auto regular = InputFile::Open(path);
  if (!regular.ok()) return regular.problem();
  StdioPackageFile file;
  if (!file.Open(path.c_str())) return Problem{"", std::strerror(errno)};
  return SetupScope(file);
}

InstallScope SetupScope(PackageFile& setupFile) {
  return RunsAsInvoker(setupFile) ? InstallScope::kUser : InstallScope::kMachine;
}

const char* ScopeName(InstallScope scope) {
  return scope == InstallScope::kUser ? "user" : "machine";
}

}  // namespace packer
