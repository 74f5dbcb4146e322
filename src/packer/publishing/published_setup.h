// What vtpack manifest says of a setup file, read from the file alone (so
// that it works on the file the vendor signed and publishes): its digest,
// the package read back as the setup program reads it, the machine type of
// its program image, and the texts of its version resource
// (publishing/setup_version_resource.h).
#ifndef VANTOREL_PACKER_PUBLISHING_PUBLISHED_SETUP_H
#define VANTOREL_PACKER_PUBLISHING_PUBLISHED_SETUP_H

#include <optional>
#include <string>
#include <vector>

#include "packer/architecture.h"
#include "packer/problem.h"
#include "packer/publishing/setup_version_resource.h"

namespace packer {

struct PublishedSetup {
  std::string fileName;  // the setup file's name, without its folder
  std::string sha256;    // of the whole file, 64 upper-case hexadecimal digits
  // The setup program's machine type (ReadSetupArchitecture).
  Architecture architecture = Architecture::kX86;
  std::string scope;  // "machine" or "user"
  bool isSigned = false;
  // UTF-8, as setup writes them into the Uninstall entry: its key's name
  // and DisplayName, DisplayVersion, and the package's Publisher and
  // URLInfoAbout records (empty when the package has none).
  std::string name, version, publisher, url;
  std::vector<std::string> extensions;  // of the package's file types
  PublishingTexts texts;                // UTF-8
  int codePage = 0;                     // the package's texts'
};

// `codePage`: the package's, when the version resource does not name it
// (default 1252). The Problem's message is one line without the path.
Result<PublishedSetup> ReadPublishedSetup(const std::string& path, std::optional<int> codePage);

// The Uninstall entry's key with its root, HKEY_LOCAL_MACHINE or (for a
// per-user package) HKEY_CURRENT_USER, as Intune's detection rules name it.
std::string UninstallEntryKey(const PublishedSetup& setup);

}  // namespace packer

#endif
