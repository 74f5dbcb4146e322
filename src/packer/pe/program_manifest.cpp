#include "packer/pe/program_manifest.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/execution_level.h"
#include "package/memory_package_file.h"
#include "package/program_image.h"
#include "packer/pe/resource_lookup.h"

namespace packer {
namespace {

// Far more than any program's manifest.
constexpr std::uint32_t kLargestManifest = 64 * 1024;

// The manifest's bytes and where they lie in the file; empty when there is
// none.
std::string ReadManifest(PackageFile& image, std::uint64_t* offset) {
  auto found = FindFirstResource(image, kManifestResource);
  if (!found || found->size > kLargestManifest) return std::string();
  std::string text(found->size, '\0');
  if (!image.Seek(found->offset) ||
      !image.Read(reinterpret_cast<std::uint8_t*>(text.data()), found->size))
    return std::string();
  if (offset != nullptr) *offset = found->offset;
  return text;
}

}  // namespace

bool RunsAsInvoker(PackageFile& image) {
  return ReadManifest(image, nullptr).find(kPerUserLevel) != std::string::npos;
}

bool RunsAsInvoker(const Bytes& image) {
  MemoryPackageFile file(image.data(), image.size());
  return RunsAsInvoker(file);
}

Check AskToRunAsInvoker(Bytes& image) {
  MemoryPackageFile file(image.data(), image.size());
  ProgramImage program;
  if (ReadProgramImage(file, &program) && program.certificateSize != 0)
    return Problem{"",
                   "is signed: running it as the invoking user would break its signature; give "
                   "the unsigned program and sign the setup file vtpack writes"};
  std::uint64_t offset = 0;
  const std::string manifest = ReadManifest(file, &offset);
  const std::size_t level = manifest.find(kMachineLevel);
  if (level == std::string::npos)
    return Problem{"", std::string("has no manifest that asks for an administrator (") +
                           kMachineLevel + ") to be run as the invoking user instead"};
  std::string perUser = kPerUserLevel;
  perUser.resize(std::strlen(kMachineLevel), ' ');
  std::copy(perUser.begin(), perUser.end(), image.begin() + static_cast<long>(offset + level));
  return std::nullopt;
}

}  // namespace packer
