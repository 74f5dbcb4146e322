// The package's registry records, written as they are read: keys created
// below their root, values stored with "<Destination>" filled in, what is
// new noted for the uninstaller first (engine/registry_changes.h). Registry
// failures are silent; the records are consumed all the same.
#ifndef VANTOREL_ENGINE_REGISTRY_RECORDS_H
#define VANTOREL_ENGINE_REGISTRY_RECORDS_H

#include <windows.h>

#include "package/registry_section.h"

class RegistryWriter final : public RegistryRecordSink {
 public:
  // `destination`: the text that replaces "<Destination>" in value data.
  explicit RegistryWriter(const char* destination) : destination_(destination) {}
  ~RegistryWriter() { EndKey(); }
  RegistryWriter(const RegistryWriter&) = delete;
  RegistryWriter& operator=(const RegistryWriter&) = delete;

  void BeginKey(layout::RegistryRoot root, const SharedString& keyPath) override;
  void Value(uint32_t type, const SharedString& text) override;
  void EndKey() override;

 private:
  // Stores a value of the open key, noted first when it is new
  // (engine/registry_changes.h).
  void Store(const char* name, DWORD type, const void* data, DWORD size);

  const char* destination_;
  HKEY key_ = nullptr;    // null: the key could not be opened, values are dropped
  SharedString keyName_;  // "<root>\<path>" of the key
};

#endif
