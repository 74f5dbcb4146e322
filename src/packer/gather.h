// Collects what a checked Project names from the file system: the licence
// text, the files its sources and globs match with their versions and time
// stamps, and checks what only the whole set can show.
#ifndef VANTOREL_PACKER_GATHER_H
#define VANTOREL_PACKER_GATHER_H

#include <cstdint>
#include <optional>

#include "packer/package_parts.h"
#include "packer/problem.h"

namespace packer {

struct GatherOptions {
  // SOURCE_DATE_EPOCH: no time stamp is later than this.
  std::optional<std::int64_t> latestTime;
};

Result<PackageParts> GatherPackage(const Project& project, Bytes uninstaller,
                                      const GatherOptions& options);

// The licence file's UTF-8 text (a byte-order mark allowed) in the code page
// with CR LF line breaks. The Problem's message tells the line at fault.
Result<std::string> ConvertLicenceText(const Bytes& utf8, int codePage);

}  // namespace packer

#endif
