// Who a finished setup file installs for. The package's layout has no place
// for it: a per-user package's setup program carries a manifest that asks
// Windows to run it as the user who starts it (pe/program_manifest.h),
// which vtpack writes for application.scope = "user"; any other setup
// program asks for an administrator and installs for the machine.
#ifndef VANTOREL_PACKER_SETUP_SCOPE_H
#define VANTOREL_PACKER_SETUP_SCOPE_H

#include <string>

#include "package/package_file.h"
#include "packer/problem.h"
#include "packer/project/project.h"

namespace packer {

// The scope of the setup file at `path`: its setup program's manifest, read
// where the file begins. The Problem says why the file cannot be read.
Result<InstallScope> ReadSetupScope(const std::string& path);

// The same for a setup file already open.
InstallScope SetupScope(PackageFile& setupFile);

// "user" or "machine", as the project file and vtpack list name them.
const char* ScopeName(InstallScope scope);

}  // namespace packer

#endif
