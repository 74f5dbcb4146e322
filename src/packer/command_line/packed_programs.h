// Where vtpack finds the Windows programs it packs, vtsetup.exe and
// VTUnInst.exe (VTUnInstUser.exe for a per-user package), when no option
// names them: beside vtpack, as in the build's
// dist folder, else in the folder that `make install` and the Debian package
// give them, VANTOREL_PROGRAMS_FROM_BIN from vtpack's own folder
// (../share/vantorel), so that an installed tree works wherever it lies.
#ifndef VANTOREL_PACKER_PACKED_PROGRAMS_H
#define VANTOREL_PACKER_PACKED_PROGRAMS_H

#include <string>

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

// `given` when not empty, else the program where vtpack finds it; argv0 is
// vtpack's argv[0].
Result<std::string> LocatePackedProgram(const std::string& given, const PackedProgram& program,
                                        const char* argv0);

}  // namespace packer

#endif
