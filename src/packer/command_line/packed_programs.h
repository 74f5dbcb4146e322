// Where vtpack finds the Windows programs it packs, vtsetup.exe and
// VTUnInst.exe (VTUnInstUser.exe for a per-user package; vtsetup64.exe,
// VTUnInst64.exe and VTUnInstUser64.exe for an x64 package), when no
// option names them: beside vtpack, as in the build's
// dist folder, else in the folder that `make install` and the Debian package
// give them, VANTOREL_PROGRAMS_FROM_BIN from vtpack's own folder
// (../share/vantorel), so that an installed tree works wherever it lies.
#ifndef VANTOREL_PACKER_PACKED_PROGRAMS_H
#define VANTOREL_PACKER_PACKED_PROGRAMS_H

#include <string>

#include "packer/architecture.h"
#include "packer/problem.h"

namespace packer {

struct PackedProgram {
  const char* fileName;
  const char* role;    // in messages
  const char* option;  // the option that names another file
};
inline constexpr PackedProgram kSetupProgram{"vtsetup.exe", "setup program", "--stub"};
inline constexpr PackedProgram kUninstaller{"VTUnInst.exe", "uninstaller", "--uninstaller"};
// A per-user package's: the same uninstaller, run as the user who starts it.
inline constexpr PackedProgram kPerUserUninstaller{"VTUnInstUser.exe", "uninstaller",
                                                   "--uninstaller"};
// The 64-bit ones, of an x64 package.
inline constexpr PackedProgram kSetupProgram64{"vtsetup64.exe", "setup program", "--stub"};
inline constexpr PackedProgram kUninstaller64{"VTUnInst64.exe", "uninstaller", "--uninstaller"};
inline constexpr PackedProgram kPerUserUninstaller64{"VTUnInstUser64.exe", "uninstaller",
                                                     "--uninstaller"};

inline const PackedProgram& SetupProgramFor(Architecture architecture) {
  return architecture == Architecture::kX64 ? kSetupProgram64 : kSetupProgram;
}
inline const PackedProgram& UninstallerFor(Architecture architecture, bool perUser) {
  if (architecture == Architecture::kX64) return perUser ? kPerUserUninstaller64 : kUninstaller64;
  return perUser ? kPerUserUninstaller : kUninstaller;
}

// `given` when not empty, else the program where vtpack finds it; argv0 is
// vtpack's argv[0].
Result<std::string> LocatePackedProgram(const std::string& given, const PackedProgram& program,
                                        const char* argv0);

}  // namespace packer

#endif
