// The file-type associations (D8), read entry by entry and handed to a sink:
// the install engine writes them under HKEY_CLASSES_ROOT, vtpack lists or
// checks them.
//
// u32 count; per entry five NUL-terminated texts and a u32 icon index. Every
// entry takes at least nine bytes, so a count larger than the package ends
// in IDS_READ_FILE without any allocation.
#ifndef VANTOREL_PACKAGE_ASSOCIATION_SECTION_H
#define VANTOREL_PACKAGE_ASSOCIATION_SECTION_H

#include <stdint.h>

#include "base/shared_string.h"
#include "package/package_input.h"

struct AssociationRecord {
  SharedString Extension;  // without the leading dot
  SharedString ClassName;
  SharedString Description;
  SharedString ProgramPath;  // may hold "<Destination>"
  SharedString IconPath;     // may hold "<Destination>"
  int32_t IconIndex;
};

class AssociationSink {
 public:
  virtual void Association(const AssociationRecord& record) = 0;

 protected:
  ~AssociationSink() = default;
};

// Reads the section from the current position. IDS_READ_FILE at the first short
// read; the entries before it have reached the sink.
bool ReadAssociations(PackageInput& input, AssociationSink& sink);

#endif
