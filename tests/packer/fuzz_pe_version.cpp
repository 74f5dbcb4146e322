// libFuzzer target: any bytes as a would-be Windows program, and as a
// would-be icon file. The readers of the version resource and of the
// manifest, the rewrites of the resources for a new icon and of the
// manifest, and the icon file's reader must never read or write outside
// them.
#include <cstddef>
#include <cstdint>

#include "packer/pe/icon_file.h"
#include "packer/pe/pe_version.h"
#include "packer/pe/program_icon.h"
#include "packer/pe/program_manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  packer::ReadPeFileVersion(data, size);
  const packer::Bytes bytes(data, data + size);
  packer::RunsAsInvoker(bytes);
  packer::Bytes perUser = bytes;
  packer::AskToRunAsInvoker(perUser);
  packer::IconFile icon;
  icon.images.push_back({16, 16, 0, 1, 32, packer::Bytes(40, 1)});
  packer::ReplaceProgramIcon(bytes, icon);
  packer::ReadIconFile(bytes);
  return 0;
}
