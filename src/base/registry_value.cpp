#include "base/registry_value.h"

#include "base/sha256_digest.h"

bool ReadRegistryCount(HKEY key, const char* name, DWORD& count) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      size != sizeof value) {
    return false;
  }
  count = value;
  return true;
}

bool ReadRegistryText(HKEY key, const char* name, SharedString& text, int maxLength) {
  // Room for the text and a NUL the registry may or may not hold.
  char* buffer = text.GetBufferOfLength(maxLength + 1);
  DWORD type = 0;
  DWORD size = static_cast<DWORD>(maxLength + 1);
  const LONG result =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
    text.Empty();
    return false;
  }
  buffer[size] = '\0';
  text.ReleaseBuffer();  // up to the first NUL
  if (text.Length() > maxLength) {
    text.Empty();
    return false;
  }
  return true;
}

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

LONG QueryRegistryText(HKEY root, const char* subKey, const char* valueName, SharedString* out) {
  HKEY key;
  LONG result = RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key);
  if (result != ERROR_SUCCESS) return result;
  result = QueryRegistryText(key, valueName, out);
  RegCloseKey(key);
  return result;
}

void RegistryValueDigest(DWORD type, const void* data, DWORD size, SharedString& digest) {
  unsigned char typeBytes[4];
  for (int i = 0; i < 4; ++i) typeBytes[i] = static_cast<unsigned char>(type >> (8 * i));
  Sha256 hash;
  hash.Add(typeBytes, sizeof typeBytes);
  hash.Add(data, size);
  hash.Finish(digest);
}
