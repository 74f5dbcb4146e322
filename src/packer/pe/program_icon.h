// The setup program's image with resources of the vendor's: the vendor's
// icon in place of the setup program's own, and a version resource (what
// Explorer's file properties and vtpack manifest read). For the icon, the
// first icon group of the program's resources (the one Explorer shows, and
// the one the setup program's windows load) is replaced, with its images;
// either way the resource section is written anew. The image stays a valid PE: the
// section's sizes, the sections behind it (the base relocations), the
// resource and relocation directories, SizeOfImage and SizeOfInitializedData
// are made to agree with it (the checksum is the whole setup file's, see
// pe_checksum.h). The same inputs give the same bytes.
#ifndef VANTOREL_PACKER_PROGRAM_ICON_H
#define VANTOREL_PACKER_PROGRAM_ICON_H

#include "packer/byte_writer.h"
#include "packer/pe/icon_file.h"
#include "packer/problem.h"

namespace packer {

// The program image with `icon` as its own. The Problem's message (without
// entry) says why this image's icon cannot be replaced: no icon of its own,
// a signature, resources the rewrite cannot move.
Result<Bytes> ReplaceProgramIcon(const Bytes& image, const IconFile& icon);

// The program image with `versionInfo` (pe/version_info.h) as its version
// resource, rewritten in the same way; an earlier one goes.
Result<Bytes> PutVersionResource(const Bytes& image, const Bytes& versionInfo);

}  // namespace packer

#endif
