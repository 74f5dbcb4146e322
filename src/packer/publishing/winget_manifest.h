// vtpack manifest winget: the three files of a winget multi-file manifest
// (version, installer, default locale; manifest version 1.10.0) for a setup
// file, from what it holds (publishing/published_setup.h) and the address
// it is published at. The installer is InstallerType exe with every switch
// spelt out, since winget knows no defaults for an exe:
//   Silent /S, SilentWithProgress /PASSIVE, InstallLocation
//   /D=<INSTALLPATH> (winget puts it last, where /D= must stand),
//   Log /LOG="<LOGPATH>"
// and 3010 and 1639 mapped to winget's responses. ProductCode and
// AppsAndFeaturesEntries are the Uninstall entry setup writes.
#ifndef VANTOREL_PACKER_PUBLISHING_WINGET_MANIFEST_H
#define VANTOREL_PACKER_PUBLISHING_WINGET_MANIFEST_H

#include <string>
#include <vector>

#include "packer/problem.h"
#include "packer/publishing/published_setup.h"

namespace packer {

struct ManifestFile {
  std::string name;  // "<PackageIdentifier>.installer.yaml", ...
  std::string text;  // UTF-8 YAML
};

inline constexpr char kWingetManifestVersion[] = "1.10.0";

// The version, installer and default-locale manifests, in that order. A
// fact winget requires and the setup file lacks, or one that breaks
// winget's rules, is a Problem whose entry names the project's field
// (application.description) or the option (--url).
Result<std::vector<ManifestFile>> WingetManifests(const PublishedSetup& setup,
                                                  const std::string& installerUrl);

}  // namespace packer

#endif
