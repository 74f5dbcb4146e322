// Everything one package holds, gathered and checked, ready to be written.
#ifndef VANTOREL_PACKER_PACKAGE_PARTS_H
#define VANTOREL_PACKER_PACKAGE_PARTS_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "packer/byte_writer.h"
#include "packer/pe/icon_file.h"
#include "packer/problem.h"
#include "packer/project/project.h"

namespace packer {

struct PackedFile {
  std::string fileName;
  FilePlacement placement;
  std::int64_t modified = 0;  // seconds since 1970, UTC
  std::optional<FileVersion> version;
  // The processor a Windows program or DLL is for; nothing for other files.
  std::optional<Architecture> architecture;
  std::uint32_t size = 0;     // when it was gathered; exactly this many bytes are packed
  std::string source;         // where its bytes are read from when the package is written
  std::size_t specIndex = 0;  // its [[files]] entry: PackageParts::sources
};

struct PackageParts {
  PackageSettings settings;
  std::optional<std::string> licenceText;  // code page, CR LF lines, no NUL
  Bytes uninstaller;
  std::vector<PackedFile> files;   // their bytes make the file data, in this order
  std::vector<EntryName> sources;  // the source of each [[files]] entry, for messages
  std::vector<Problem> warnings;   // the package is sound, but the user may make it fail
  // The vendor's icon for the setup program's image (not part of the package).
  std::optional<IconFile> icon;
};

}  // namespace packer

#endif
