// The four registry sections (D4 to D7), read in root order and handed to a
// sink key by key and value by value: the install engine writes them to the
// registry, vtpack lists or checks them.
//
// Each section: u32 key count; per key a NUL-terminated path below the root
// and a u32 value count; per value a u32 type and a NUL-terminated
// "name=data" text. Counts need no allocation: every entry takes at least
// five bytes, so a count larger than the package ends in IDS_READ_FILE.
#ifndef VANTOREL_PACKAGE_REGISTRY_SECTION_H
#define VANTOREL_PACKAGE_REGISTRY_SECTION_H

#include <stdint.h>

#include "base/shared_string.h"
#include "package/layout.h"
#include "package/package_input.h"

class RegistryRecordSink {
 public:
  virtual void BeginKey(layout::RegistryRoot root, const SharedString& keyPath) = 0;
  // `text` as stored: the value name, "=", the data.
  virtual void Value(uint32_t type, const SharedString& text) = 0;
  // After the key's last value.
  virtual void EndKey() = 0;

 protected:
  ~RegistryRecordSink() = default;
};

// Reads all four sections from the current position. IDS_READ_FILE at the first
// short read; the keys before it have reached the sink.
bool ReadRegistrySections(PackageInput& input, RegistryRecordSink& sink);

#endif
