// libFuzzer target: any bytes as a would-be Windows program, and as a
// would-be icon file. The reader of the version resource, the rewrite of
// the resources for a new icon and the icon file's reader must never read
// outside them.
#include <cstddef>
#include <cstdint>

#include "packer/pe/icon_file.h"
#include "packer/pe/pe_version.h"
#include "packer/pe/program_icon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  packer::ReadPeFileVersion(data, size);
  const packer::Bytes bytes(data, data + size);
  packer::IconFile icon;
  icon.images.push_back({16, 16, 0, 1, 32, packer::Bytes(40, 1)});
  packer::ReplaceProgramIcon(bytes, icon);
  packer::ReadIconFile(bytes);
  return 0;
}
