#include "package/association_section.h"

bool ReadAssociations(PackageInput& input, AssociationSink& sink) {
  uint32_t count;
  if (!ReadPackageU32(input, &count)) return false;
  AssociationRecord record;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t iconIndex;
    if (!ReadPackageText(input, &record.Extension) || !ReadPackageText(input, &record.ClassName) ||
        !ReadPackageText(input, &record.Description) ||
        !ReadPackageText(input, &record.ProgramPath) || !ReadPackageText(input, &record.IconPath) ||
        !ReadPackageU32(input, &iconIndex)) {
      return false;
    }
    record.IconIndex = static_cast<int32_t>(iconIndex);
    sink.Association(record);
  }
  return true;
}
