// Which processor a Windows program or DLL is for, from its PE file header
// (Machine, and the DLL flag of Characteristics), without calling Windows.
#ifndef VANTOREL_PACKER_PE_MACHINE_H
#define VANTOREL_PACKER_PE_MACHINE_H

#include <optional>

#include "package/package_file.h"
#include "packer/architecture.h"
#include "packer/byte_writer.h"

namespace packer {

struct ImageKind {
  Architecture architecture = Architecture::kX86;
  bool dll = false;
};

// i386 is x86, AMD64 is x64. Nothing for a file that is not a Windows
// program whose headers can be read, or one for another processor (ARM64,
// Itanium, ...): vtpack has no setup program for those.
std::optional<ImageKind> ReadImageKind(PackageFile& image);
std::optional<ImageKind> ReadImageKind(const Bytes& image);

}  // namespace packer

#endif
