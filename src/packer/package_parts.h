// Everything one package holds, gathered and checked, ready to be written.
#ifndef VANTOREL_PACKER_PACKAGE_PARTS_H
#define VANTOREL_PACKER_PACKAGE_PARTS_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "packer/byte_writer.h"
#include "packer/problem.h"
#include "packer/project.h"

namespace packer {

struct PackedFile {
  std::string fileName;
  FilePlacement placement;
  std::int64_t modified = 0;  // seconds since 1970, UTC
  std::optional<FileVersion> version;
  std::uint32_t size = 0;  // its bytes follow the previous file's in PackageParts::fileData
};

struct PackageParts {
  PackageSettings settings;
  std::optional<std::string> licenceText;  // code page, CR LF lines, no NUL
  Bytes uninstaller;
  std::vector<PackedFile> files;
  Bytes fileData;  // every file's bytes in the files' order, read straight in
  std::vector<Problem> warnings;  // the package is sound, but the user may make it fail
};

}  // namespace packer

#endif
