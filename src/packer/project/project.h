// What a project file asks for, checked and with every text already in the
// package's code page. Paths of the packer's inputs stay as given (UTF-8,
// relative to the project file's folder).
#ifndef VANTOREL_PACKER_PROJECT_H
#define VANTOREL_PACKER_PROJECT_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "package/layout.h"
#include "packer/architecture.h"
#include "packer/pe/pe_version.h"
#include "packer/problem.h"

namespace packer {

// Where an entry came from, for messages about it after parsing.
struct EntryName {
  std::string entry;  // "files[2].source"
  int line = 0;
};

struct SetupOptions {
  bool showWelcomePage = true;
  bool showDestinationPage = true;
  bool showShortcutsPage = true;
  bool runProgramAtEnd = false;
  bool checkProgramNotRunning = false;
};

// Who a package installs for: the whole machine (setup asks for an
// administrator), or the user who runs setup, alone and without one. The
// package's layout has no place for it: the setup program's manifest
// carries it (pe/program_manifest.h).
enum class InstallScope { kMachine, kUser };

struct Application {
  std::string name;         // AppName
  std::string version;      // AppVersion
  std::string programFile;  // ProgramFileName
  std::string windowClass;  // ProgramWindowClass
  // The application's Uninstall entry: registry records of the package.
  std::string publisher;  // "Publisher"
  std::string url;        // "URLInfoAbout"
  // The setup program and uninstaller vtpack packs, and so where the
  // application installs.
  Architecture architecture = Architecture::kX86;
  InstallScope scope = InstallScope::kMachine;
  // For winget (pe/version_info.h carries them in the setup file's version
  // resource; UTF-8): the package's identifier, a short description, the
  // licence's name, the copyright line and the language of these texts.
  std::string id, description, licenceName, copyright, locale;

  bool HasPublishingFacts() const {
    return !id.empty() || !description.empty() || !licenceName.empty() || !copyright.empty() ||
           !locale.empty();
  }
};

enum class VersionChoice { kFromResource, kGiven, kNone };

// Where a file goes and how the setup program treats it there.
struct FilePlacement {
  layout::DestinationType destination = layout::kDestinationApplication;
  std::string subDirectory;  // "" or "Docs\Manual\"
  bool replaceIfInUse = false;
  bool selfRegister = false;
  bool sharedDll = false;
};

// One [[files]] entry: a path or glob, and what each matched file becomes.
struct FileSpec {
  EntryName source;     // entry of the "source" key
  std::string pattern;  // path or glob, variables expanded
  bool isGlob = false;
  std::string globPattern;            // for a glob: the pattern with the values of ${...} escaped
  std::vector<std::string> excludes;  // glob-escaped as globPattern
  EntryName exclude;
  std::string fileName;  // given name (single source only); empty: the source's
  FilePlacement placement;
  VersionChoice versionChoice = VersionChoice::kFromResource;
  FileVersion version;
};

constexpr std::uint32_t kRegistryTypeText = 1;    // REG_SZ
constexpr std::uint32_t kRegistryTypeNumber = 4;  // REG_DWORD

struct RegistryValue {
  std::uint32_t type = kRegistryTypeText;
  std::string text;  // "name=data" as the package stores it
};

struct RegistryKey {
  std::string path;
  std::vector<RegistryValue> values;
};

struct Association {
  std::string extension;  // without the dot
  std::string typeName;
  std::string description;
  std::string program;
  std::string icon;
  std::int32_t iconIndex = 0;
};

// What goes into the package as the project file gives it.
struct PackageSettings {
  Application application;
  SetupOptions options;
  std::vector<RegistryKey> registry[layout::kRegistryRootCount];
  std::vector<Association> associations;
};

struct Project {
  std::string directory;  // the project file's folder: base of relative paths
  int codePage = 1252;
  PackageSettings settings;
  std::optional<std::string> licencePath;
  EntryName licenceEntry;
  // The setup program's own icon replaced by the vendor's (.ico).
  std::optional<std::string> iconPath;
  EntryName iconEntry;
  // AppVersion from the version resource of the installed program's source.
  bool versionFromProgram = false;
  EntryName versionFromProgramEntry;
  EntryName architectureEntry;  // application.architecture, for messages about it
  std::vector<FileSpec> files;
  std::vector<Problem> warnings;  // sound, but probably not what the vendor means
};

}  // namespace packer

#endif
