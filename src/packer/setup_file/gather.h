// Collects what a checked Project names from the file system: the licence
// text, the files its sources and globs match with their versions and time
// stamps, and checks what only the whole set can show.
#ifndef VANTOREL_PACKER_GATHER_H
#define VANTOREL_PACKER_GATHER_H

#include <cstdint>
#include <optional>

#include "packer/file_io.h"
#include "packer/problem.h"
#include "packer/setup_file/package_parts.h"

namespace packer {

struct GatherOptions {
  // SOURCE_DATE_EPOCH: no time stamp is later than this.
  std::optional<std::int64_t> latestTime;
  // The output file when it exists already: an input that is the same file
  // (device and inode) is refused, so vtpack never writes over its input.
  std::optional<FileIdentity> output;
  std::string outputPath;
  // vtpack's own temporary file, which a glob such as ".*" could match.
  std::optional<FileIdentity> temporary;
};

// With the destination page shown the user may choose a longer folder than
// the standard one: a warning names the file that leaves the fewest
// characters for that folder when they are fewer than this.
constexpr std::size_t kWarnBelowChosenFolder = 100;

Result<PackageParts> GatherPackage(const Project& project, Bytes uninstaller,
                                   const GatherOptions& options);

// The licence file's UTF-8 text (a byte-order mark allowed) in the code page
// with CR LF line breaks. The Problem's message tells the line at fault.
Result<std::string> ConvertLicenceText(const Bytes& utf8, int codePage);

}  // namespace packer

#endif
