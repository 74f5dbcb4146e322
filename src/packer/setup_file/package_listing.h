// A finished setup file read back through the setup program's own package
// reader, in its order, and copied into plain values: what vtpack list
// prints, vtpack verify checks and the tests compare.
#ifndef VANTOREL_PACKER_PACKAGE_LISTING_H
#define VANTOREL_PACKER_PACKAGE_LISTING_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "package/layout.h"
#include "packer/architecture.h"
#include "packer/byte_writer.h"
#include "packer/problem.h"
#include "packer/project/project.h"

namespace packer {

struct ListedTime {
  std::int32_t seconds = 0;
  int stale = 0, valid = 0;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;  // calendar values
  int weekday = 0, dayOfYear = 0, daylightSaving = 0;
};

struct ListedFile {
  std::string fileName, subDirectory;
  std::uint32_t destinationType = 0;
  std::uint32_t fileSize = 0;
  ListedTime timestamp;
  std::uint32_t hasVersion = 0;
  std::uint16_t version[4] = {};
  std::uint32_t replaceIfInUse = 0, selfRegister = 0, sharedDll = 0;
  Bytes content;  // its bytes in the file data, when asked for
};

struct ListedRegistryKey {
  layout::RegistryRoot root = layout::kRootClasses;
  std::string path;
  std::vector<std::pair<std::uint32_t, std::string>> values;  // type, "name=data"
};

struct ListedAssociation {
  std::string extension, className, description, program, icon;
  std::int32_t iconIndex = 0;
};

struct PackageListing {
  std::uint64_t fileSize = 0;
  // Who it installs for (setup_file/setup_scope.h), and what its
  // uninstaller's manifest asks for: a per-user package's runs as its user.
  InstallScope scope = InstallScope::kMachine;
  bool uninstallerRunsAsInvoker = false;
  std::uint32_t headerOffset = 0;
  std::uint64_t trailerOffset = 0;  // the file's last 4 bytes unless signed
  bool isSigned = false;            // an Authenticode certificate table ends the file
  // ReadSetupArchitecture's answer; nothing for a setup program for
  // another processor.
  std::optional<Architecture> architecture;
  Bytes headerImage;                                                     // the 130 bytes as stored
  std::string appName, appVersion, programWindowClass, programFileName;  // as the reader ends them
  bool showDestinationPage = false, showShortcutsPage = false, hasLicence = false,
       showWelcomePage = false, runProgramAtEnd = false, checkProgramNotRunning = false;
  std::string licenceText;
  Bytes uninstaller;
  std::optional<Architecture>
      uninstallerArchitecture;                // nothing: not a readable x86 or x64 program
  std::uint32_t uninstallerDeclaredSize = 0;  // its block's UncompressedSize
  std::vector<ListedFile> files;
  std::optional<std::uint32_t> fileDataDeclaredSize;  // present when there are files
  std::uint64_t fileDataProduced = 0;
  std::vector<ListedRegistryKey> registry;
  std::vector<ListedAssociation> associations;
  std::uint64_t endOffset = 0;  // after the associations
};

// Fails with "holds no package: ..." when the file has none (not a program,
// or nothing behind its image that a trailer points at), else with the
// reader's own message (IDS_READ_FILE, IDS_OUT_OF_MEMORY or IDS_UNCOMPRESS)
// as the Problem. The file data passes through a buffer of
// a megabyte whatever its size; the files' bytes are kept only with
// `keepContents`.
Result<PackageListing> ReadPackageListing(const std::string& path, bool keepContents = false);

// The architecture of a finished setup file (the package's): the machine
// type of the setup program it starts with, i386 x86, AMD64 x64, as winget
// and Intune name it. Fails for a file that is not a Windows program whose
// headers can be read, and for a program for another processor.
Result<Architecture> ReadSetupArchitecture(const std::string& path);

}  // namespace packer

#endif
