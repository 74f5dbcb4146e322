#include "packer/project/uninstall_entry.h"

#include "base/uninstall_key.h"

namespace packer {

layout::RegistryRoot UninstallEntryRoot(InstallScope scope) {
  return scope == InstallScope::kUser ? layout::kRootCurrentUser : layout::kRootLocalMachine;
}

std::string UninstallEntryPath(const std::string& appName) {
  return std::string(kUninstallKeyParent) + "\\" + appName;
}

}  // namespace packer
