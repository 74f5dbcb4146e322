// Where the application's Uninstall entry lies (base/uninstall_key.h), as
// vtpack needs it: the package's records of the vendor's values go there,
// and winget's and Intune's detection rules look there.
#ifndef VANTOREL_PACKER_UNINSTALL_ENTRY_H
#define VANTOREL_PACKER_UNINSTALL_ENTRY_H

#include <string>

#include "package/layout.h"
#include "packer/project/project.h"

namespace packer {

// HKEY_CURRENT_USER for a per-user package, else HKEY_LOCAL_MACHINE.
layout::RegistryRoot UninstallEntryRoot(InstallScope scope);

// The entry's key below its root: "Software\...\Uninstall\<appName>".
std::string UninstallEntryPath(const std::string& appName);

}  // namespace packer

#endif
