#include "robot/planted_dlls.h"

#include <windows.h>

#include <cstring>

namespace robot {

namespace {

std::string OverridesKey(const std::string& program) {
  return "Software\\Wine\\AppDefaults\\" + program + "\\DllOverrides";
}

}  // namespace

bool PlantDlls(const std::string& folder, const std::string& program, const std::string& dll,
               const std::vector<std::string>& names) {
  HKEY overrides;
  if (RegCreateKeyA(HKEY_CURRENT_USER, OverridesKey(program).c_str(), &overrides) !=
      ERROR_SUCCESS) {
    return false;
  }
  bool planted = true;
  for (const std::string& name : names) {
    std::string path = folder + "\\" + name;
    DeleteFileA((path + ".loaded").c_str());
    planted = planted && CopyFileA(dll.c_str(), path.c_str(), FALSE);
    std::string stem = name.substr(0, name.rfind('.'));
    const char order[] = "native,builtin";
    planted = planted &&
              RegSetValueExA(overrides, stem.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(order), sizeof order) == ERROR_SUCCESS;
  }
  RegCloseKey(overrides);
  return planted;
}

std::vector<std::string> LoadedPlantedDlls(const std::string& folder) {
  std::vector<std::string> loaded;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*.loaded").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return loaded;
  do {
    std::string name = found.cFileName;
    loaded.push_back(name.substr(0, name.size() - strlen(".loaded")));
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return loaded;
}

void ForgetPlantedDlls(const std::string& program) {
  RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\Wine\\AppDefaults\\" + program).c_str());
}

}  // namespace robot
