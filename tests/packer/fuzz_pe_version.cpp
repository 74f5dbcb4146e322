// libFuzzer target: any bytes as a would-be Windows program. The reader of
// the version resource must never read outside them.
#include <cstddef>
#include <cstdint>

#include "packer/pe_version.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  packer::ReadPeFileVersion(data, size);
  return 0;
}
