#include "package/registry_section.h"

namespace {

bool ReadKey(PackageInput& input, layout::RegistryRoot root, RegistryRecordSink& sink) {
  SharedString keyPath;
  uint32_t valueCount;
  if (!ReadPackageText(input, &keyPath) || !ReadPackageU32(input, &valueCount)) return false;
  sink.BeginKey(root, keyPath);
  SharedString text;
  for (uint32_t i = 0; i < valueCount; ++i) {
    uint32_t type;
    if (!ReadPackageU32(input, &type) || !ReadPackageText(input, &text)) return false;
    sink.Value(type, text);
  }
  sink.EndKey();
  return true;
}

}  // namespace

bool ReadRegistrySections(PackageInput& input, RegistryRecordSink& sink) {
  for (int root = 0; root < layout::kRegistryRootCount; ++root) {
    uint32_t keyCount;
    if (!ReadPackageU32(input, &keyCount)) return false;
    for (uint32_t i = 0; i < keyCount; ++i) {
      if (!ReadKey(input, static_cast<layout::RegistryRoot>(root), sink)) return false;
    }
  }
  return true;
}
