#include "base/registry_value.h"

LONG QueryRegistryText(HKEY key, const char* valueName, SharedString* out) {
  char buffer[kRegistryTextSize + 1];
  DWORD size = kRegistryTextSize;
  LONG result = valueName != nullptr
                    ? RegQueryValueExA(key, valueName, nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(buffer), &size)
                    : RegQueryValueA(key, nullptr, buffer, reinterpret_cast<LONG*>(&size));
  if (result == ERROR_SUCCESS) {
    buffer[size] = '\0';
    *out = buffer;
  }
  return result;
}

LONG ReadRegistryText(HKEY root, const char* subKey, const char* valueName, SharedString* out) {
  HKEY key;
  LONG result = RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key);
  if (result != ERROR_SUCCESS) return result;
  result = QueryRegistryText(key, valueName, out);
  RegCloseKey(key);
  return result;
}
