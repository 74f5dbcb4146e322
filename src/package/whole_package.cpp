#include "package/whole_package.h"

#include "package/header_reader.h"

bool ReadLicence(PackageInput& input, SharedString* text) {
  BlockBuffer block;
  if (!ReadStoredBlock(input, StoredBlockVariant::kLicence, &block)) return false;
  *text = LicenceTextOf(block);
  return true;
}

bool ReadWholePackage(PackageInput& input, PackageContents* contents, RegistryRecordSink& registry,
                      AssociationSink& associations, FileDataSink& files) {
  if (!ReadPackageTrailer(input, &contents->HeaderOffset, &contents->Signed) ||
      !ReadPackageHeader(input, contents->HeaderOffset, &contents->Header)) {
    return false;
  }
  if (contents->Header.HasLicence != 0 && !ReadLicence(input, &contents->LicenceText)) {
    return false;
  }
  contents->TrailerOffset = input.dataEnd;
  contents->DataOffset = input.file->Position();
  if (!ReadStoredBlock(input, StoredBlockVariant::kUninstaller, &contents->Uninstaller) ||
      !ReadFileTable(input, &contents->Files)) {
    return false;
  }
  if (contents->Files.Count() > 0 &&
      !ReadFileData(input, contents->Files, files, &contents->FileDataLength)) {
    return false;
  }
  if (!ReadRegistrySections(input, registry) || !ReadAssociations(input, associations)) {
    return false;
  }
  contents->EndOffset = input.file->Position();
  return true;
}
