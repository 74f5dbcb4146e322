// Reading and writing the registry of the test run's prefix, as the tests
// check and prepare it. `view` selects a registry view (KEY_WOW64_32KEY,
// KEY_WOW64_64KEY); 0 is the test process's own. An empty value name is
// the key's default value.
#ifndef VANTOREL_TESTS_SUPPORT_REGISTRY_H
#define VANTOREL_TESTS_SUPPORT_REGISTRY_H

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace support {

bool KeyExists(HKEY root, const std::string& key, REGSAM view = 0);
// The number of values of a key; nothing when the key is missing.
std::optional<DWORD> ValueCount(HKEY root, const std::string& key);
// A value of any type, as stored (REG_EXPAND_SZ not expanded).
struct RegistryData {
  DWORD type;
  std::vector<BYTE> bytes;
};
std::optional<RegistryData> RegistryValue(HKEY root, const std::string& key,
                                          const std::string& name);
// A REG_SZ value; nothing when it is missing or of another type.
std::optional<std::string> RegistryText(HKEY root, const std::string& key, const std::string& name,
                                        REGSAM view = 0);
// A REG_DWORD value; nothing when it is missing or of another type.
std::optional<DWORD> RegistryNumber(HKEY root, const std::string& key, const std::string& name,
                                    REGSAM view = 0);
// The texts of a REG_MULTI_SZ value, in order, empty ones too; none when
// it is missing.
std::vector<std::string> RegistryTexts(HKEY root, const std::string& key, const std::string& name);
// Write the value (creating the key), or delete it when given nothing.
bool WriteRegistryValue(HKEY root, const std::string& key, const std::string& name,
                        const std::optional<RegistryData>& data);
bool WriteRegistryText(HKEY root, const std::string& key, const std::string& name,
                       const std::optional<std::string>& text, REGSAM view = 0);
// A number is stored as REG_DWORD unless `type` says otherwise (another
// installer may have stored a count of 4 bytes as REG_BINARY).
bool WriteRegistryNumber(HKEY root, const std::string& key, const std::string& name,
                         std::optional<DWORD> number, REGSAM view = 0, DWORD type = REG_DWORD);
// Deletes a key with everything below it.
void DeleteRegistryKey(HKEY root, const std::string& key, REGSAM view = 0);

// One text value set (or, given nothing, deleted) for a scope and put back
// at its end: deleted again, and the keys that setting it created with it.
class ScopedRegistryValue {
 public:
  ScopedRegistryValue(HKEY root, const std::string& key, const std::string& name,
                      const std::optional<std::string>& text);
  ~ScopedRegistryValue();
  ScopedRegistryValue(const ScopedRegistryValue&) = delete;
  ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

 private:
  HKEY root_;
  std::string key_, name_;
  std::string createdPart_;  // deleted at the end; empty when the key existed
  std::optional<std::string> previous_;
};

}  // namespace support

#endif
