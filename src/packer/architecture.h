// The two kinds of package: the setup program vtpack packs is the i686
// program (x86, for every Windows, installing as a 32-bit application) or
// the x86_64 one (x64, for 64-bit Windows, installing where 64-bit
// programs look). "x86" and "x64" are the names the project file, winget
// manifests and Intune use.
#ifndef VANTOREL_PACKER_ARCHITECTURE_H
#define VANTOREL_PACKER_ARCHITECTURE_H

#include <optional>
#include <string>

#include "base/uninstall_names.h"

namespace packer {

enum class Architecture { kX86, kX64 };

inline const char* ArchitectureName(Architecture architecture) {
  return architecture == Architecture::kX64 ? "x64" : "x86";
}

// "x86" or "x64"; nothing for any other text.
inline std::optional<Architecture> ArchitectureNamed(const std::string& name) {
  if (name == "x86") return Architecture::kX86;
  if (name == "x64") return Architecture::kX64;
  return std::nullopt;
}

// "a 32-bit (x86) program", "a 64-bit (x64) DLL": as messages name a file.
inline std::string DescribeArchitecture(Architecture architecture, const char* what) {
  return std::string(architecture == Architecture::kX64 ? "a 64-bit (x64) " : "a 32-bit (x86) ") +
         what;
}

// The name the package's setup program gives the uninstaller it installs.
inline const char* InstalledUninstallerName(Architecture architecture) {
  return architecture == Architecture::kX64 ? uninstall::kUninstaller64Name
                                            : uninstall::kUninstaller32Name;
}

}  // namespace packer

#endif
