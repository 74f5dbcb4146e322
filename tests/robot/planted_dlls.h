// DLLs planted beside a program under system DLLs' names, as anyone may
// leave them in a downloads folder. The planted DLL (tests/ui/planted.c)
// leaves a marker "<name>.loaded" beside itself when it is loaded.
#ifndef VANTOREL_TESTS_ROBOT_PLANTED_DLLS_H
#define VANTOREL_TESTS_ROBOT_PLANTED_DLLS_H

#include <string>
#include <vector>

namespace robot {

// Copies `dll` into `folder` as each of `names` ("uxtheme.dll", ...) and
// has Wine prefer those copies to its own for programs named `program`
// (HKCU\Software\Wine\AppDefaults\<program>\DllOverrides): Wine otherwise
// takes its built-in DLLs first, where Windows would search the program's
// folder.
bool PlantDlls(const std::string& folder, const std::string& program, const std::string& dll,
               const std::vector<std::string>& names);
// The names of the DLLs in `folder` that were loaded, by their markers.
std::vector<std::string> LoadedPlantedDlls(const std::string& folder);
// Takes the preference for native copies away again.
void ForgetPlantedDlls(const std::string& program);

}  // namespace robot

#endif
