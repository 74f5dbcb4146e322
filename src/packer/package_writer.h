// Writes a package: header, licence block, data block D1 to D8. The caller
// appends it to the setup program's image and adds the trailer.
#ifndef VANTOREL_PACKER_PACKAGE_WRITER_H
#define VANTOREL_PACKER_PACKAGE_WRITER_H

#include "packer/compression.h"
#include "packer/package_parts.h"
#include "packer/progress.h"

namespace packer {

// The contents must have passed the gathering checks: texts fit their
// fields and hold no NUL, and every size fits 32 bits.
Bytes WritePackage(const PackageParts& contents, Compression level);

// The same package as pieces to be written one after the other, without
// copying the file data block: its bytes are moved out of `contents` (the
// stored form) or freed once compressed, so the file data is held at most
// twice (data and its stream) while the package is made. `progress`, when
// given, is told of the file data compressed.
std::vector<Bytes> WritePackagePieces(PackageParts&& contents, Compression level,
                                      BuildProgress* progress = nullptr);

// The setup file's bytes after the program image: the package and the trailer
// that points at its start.
void AppendTrailer(Bytes& package, std::uint32_t packageOffset);

}  // namespace packer

#endif
