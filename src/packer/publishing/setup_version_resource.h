// The version resource that vtpack build gives a setup file whose project
// has facts for winget ([application] id, description, licence-name,
// copyright, locale): the package's layout has no place for them, and the
// resource is where Windows keeps such facts of a program (Explorer's file
// properties show the standard ones). vtpack manifest reads them back from
// the setup file, signed or not (a signature covers the image, it does not
// change it).
//
//   ProductName, FileDescription   the name; "<name> Setup"
//   ProductVersion, FileVersion    the version (the fixed part: its numbers,
//                                  when it is up to four numbers)
//   CompanyName                    the publisher
//   LegalCopyright                 copyright
//   Comments                       description
//   PackageIdentifier, License,    id, licence-name, locale: keys of our
//   PackageLocale                  own, spelt as winget's fields
// Texts the project does not give are left out. The string table's code
// page (and the translation's) is the project's.
#ifndef VANTOREL_PACKER_PUBLISHING_SETUP_VERSION_RESOURCE_H
#define VANTOREL_PACKER_PUBLISHING_SETUP_VERSION_RESOURCE_H

#include <optional>
#include <string>

#include "package/package_file.h"
#include "packer/byte_writer.h"
#include "packer/project/project.h"

namespace packer {

// The resource's bytes; nothing when the project gives no fact for winget.
std::optional<Bytes> SetupVersionResource(const Application& application, int codePage);

// What a setup file's version resource says (UTF-8); all empty, and code
// page 0, when it has none.
struct PublishingTexts {
  std::string id, description, licenceName, copyright, locale;
  int codePage = 0;
};
PublishingTexts ReadPublishingTexts(PackageFile& setupFile);

}  // namespace packer

#endif
