#include "registry.h"

namespace support {
namespace {

// RegGetValueA with a view: the key opened through it first.
LONG GetValue(HKEY root, const std::string& key, const std::string& name, DWORD flags, void* data,
              DWORD* size, REGSAM view) {
  HKEY opened;
  LONG result = RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened);
  if (result != ERROR_SUCCESS) return result;
  result = RegGetValueA(opened, nullptr, name.c_str(), flags, nullptr, data, size);
  RegCloseKey(opened);
  return result;
}

bool SetValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
              const void* data, DWORD size, bool remove, REGSAM view) {
  HKEY opened;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &opened,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  LONG result =
      remove ? RegDeleteValueA(opened, name.c_str())
             : RegSetValueExA(opened, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(opened);
  return result == ERROR_SUCCESS || (remove && result == ERROR_FILE_NOT_FOUND);
}

// The shortest leading part of `key` that does not exist yet: deleting it
// removes everything a creation of `key` added. Empty when `key` exists.
std::string FirstMissingPart(HKEY root, const std::string& key) {
  for (size_t end = key.find('\\');; end = key.find('\\', end + 1)) {
    std::string part = key.substr(0, end);
    if (!KeyExists(root, part)) return part;
    if (end == std::string::npos) return "";
  }
}

}  // namespace

bool KeyExists(HKEY root, const std::string& key, REGSAM view) {
  HKEY opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

std::optional<DWORD> ValueCount(HKEY root, const std::string& key) {
  HKEY opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return std::nullopt;
  DWORD count = 0;
  LONG result = RegQueryInfoKeyA(opened, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 &count, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(opened);
  if (result != ERROR_SUCCESS) return std::nullopt;
  return count;
}

std::optional<RegistryData> RegistryValue(HKEY root, const std::string& key,
                                          const std::string& name) {
  const DWORD flags = RRF_RT_ANY | RRF_NOEXPAND;
  RegistryData data = {};
  DWORD size = 0;
  if (GetValue(root, key, name, flags, nullptr, &size, 0) != ERROR_SUCCESS) return std::nullopt;
  data.bytes.resize(size);
  if (RegGetValueA(root, key.c_str(), name.c_str(), flags, &data.type, data.bytes.data(), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  data.bytes.resize(size);
  return data;
}

std::optional<std::string> RegistryText(HKEY root, const std::string& key, const std::string& name,
                                        REGSAM view) {
  DWORD size = 0;
  if (GetValue(root, key, name, RRF_RT_REG_SZ, nullptr, &size, view) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::string text(size, '\0');
  if (GetValue(root, key, name, RRF_RT_REG_SZ, &text[0], &size, view) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
  return text;
}

std::optional<DWORD> RegistryNumber(HKEY root, const std::string& key, const std::string& name,
                                    REGSAM view) {
  DWORD number = 0;
  DWORD size = sizeof number;
  if (GetValue(root, key, name, RRF_RT_REG_DWORD, &number, &size, view) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return number;
}

std::vector<std::string> RegistryTexts(HKEY root, const std::string& key, const std::string& name) {
  std::vector<std::string> texts;
  DWORD size = 0;
  if (GetValue(root, key, name, RRF_RT_REG_MULTI_SZ, nullptr, &size, 0) != ERROR_SUCCESS) {
    return texts;
  }
  std::vector<char> list(size + 2, '\0');
  if (GetValue(root, key, name, RRF_RT_REG_MULTI_SZ, list.data(), &size, 0) != ERROR_SUCCESS) {
    return texts;
  }
  // Each text ends in a NUL, and one more ends the list; texts may be
  // empty (a pending deletion's new name is).
  for (DWORD at = 0; at + 1 < size; at += static_cast<DWORD>(texts.back().size()) + 1) {
    texts.emplace_back(&list[at]);
  }
  return texts;
}

bool WriteRegistryValue(HKEY root, const std::string& key, const std::string& name,
                        const std::optional<RegistryData>& data) {
  return SetValue(root, key, name, data ? data->type : REG_NONE,
                  data ? data->bytes.data() : nullptr,
                  data ? static_cast<DWORD>(data->bytes.size()) : 0, !data, 0);
}

bool WriteRegistryText(HKEY root, const std::string& key, const std::string& name,
                       const std::optional<std::string>& text, REGSAM view) {
  return SetValue(root, key, name, REG_SZ, text ? text->c_str() : nullptr,
                  text ? static_cast<DWORD>(text->size() + 1) : 0, !text, view);
}

bool WriteRegistryNumber(HKEY root, const std::string& key, const std::string& name,
                         std::optional<DWORD> number, REGSAM view, DWORD type) {
  return SetValue(root, key, name, type, number ? &*number : nullptr, sizeof(DWORD), !number, view);
}

void DeleteRegistryKey(HKEY root, const std::string& key, REGSAM view) {
  const size_t last = key.rfind('\\');
  HKEY parent = root;
  if (last != std::string::npos && RegOpenKeyExA(root, key.substr(0, last).c_str(), 0,
                                                 KEY_ALL_ACCESS | view, &parent) != ERROR_SUCCESS) {
    return;
  }
  const std::string child = last == std::string::npos ? key : key.substr(last + 1);
  RegDeleteTreeA(parent, child.c_str());
  RegDeleteKeyExA(parent, child.c_str(), view, 0);
  if (parent != root) RegCloseKey(parent);
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, const std::string& key, const std::string& name,
                                         const std::optional<std::string>& text)
    : root_(root), key_(key), name_(name) {
  createdPart_ = FirstMissingPart(root, key);
  previous_ = RegistryText(root, key, name);
  WriteRegistryText(root, key, name, text);
}

ScopedRegistryValue::~ScopedRegistryValue() {
  if (!createdPart_.empty()) {
    DeleteRegistryKey(root_, createdPart_);
  } else {
    WriteRegistryText(root_, key_, name_, previous_);
  }
}

}  // namespace support
