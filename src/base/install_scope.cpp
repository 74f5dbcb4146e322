#include "base/install_scope.h"

#include <string.h>

#include "base/execution_level.h"

bool IsPerUserScope() {
  // The manifest Windows reads at the program's start
  // (CREATEPROCESS_MANIFEST_RESOURCE_ID).
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  HGLOBAL loaded = resource != nullptr ? LoadResource(nullptr, resource) : nullptr;
  const char* text = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (text == nullptr) return false;
  const DWORD size = SizeofResource(nullptr, resource);
  const DWORD length = sizeof kPerUserLevel - 1;
  for (DWORD at = 0; at + length <= size; ++at) {
    if (memcmp(text + at, kPerUserLevel, length) == 0) return true;
  }
  return false;
}

HKEY ScopeRoot() { return IsPerUserScope() ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }
