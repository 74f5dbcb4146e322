// What Intune's form for a Win32 app asks of a setup file: the install and
// uninstall commands, the return codes and a detection rule on the
// Uninstall entry setup writes. The commands are for 64-bit Windows (every
// Windows 11), where a 32-bit setup program's default folder is in
// "C:\Program Files (x86)" and its entry in the registry's 32-bit view;
// setup installs into its default folder, since the install command names
// none. A per-user package runs as the user, its log in %TEMP%, its folder
// and uninstaller in %LOCALAPPDATA%\Programs, its entry under
// HKEY_CURRENT_USER.
#ifndef VANTOREL_PACKER_PUBLISHING_INTUNE_APP_H
#define VANTOREL_PACKER_PUBLISHING_INTUNE_APP_H

#include <string>
#include <vector>

#include "packer/problem.h"
#include "packer/publishing/published_setup.h"

namespace packer {

struct IntuneReturnCode {
  int code;
  const char* type;  // Microsoft Graph's win32LobAppReturnCodeType: "success", ...
};

// A registry detection rule: the value's text equals the version.
struct IntuneRegistryRule {
  std::string keyPath;  // "HKEY_LOCAL_MACHINE\Software\...\Uninstall\<name>"
  std::string valueName;
  std::string comparisonValue;
  bool check32BitOn64System = false;  // the 32-bit view on 64-bit Windows
};

struct IntuneApp {
  std::string installCommand, uninstallCommand;
  std::string runAsAccount;   // "system" or "user"
  std::string architectures;  // Graph's applicableArchitectures: "x64"
  std::vector<IntuneReturnCode> returnCodes;
  IntuneRegistryRule rule;
};

// A setup file without a version has no rule: the Problem names the field.
Result<IntuneApp> IntuneAppFor(const PublishedSetup& setup);

}  // namespace packer

#endif
