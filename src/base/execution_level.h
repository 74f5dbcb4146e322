// The execution level a Windows program's manifest asks for, as the
// manifests of setup and the uninstallers spell it: an administrator for a
// package installed for the whole machine, the user who starts the program
// for a package installed for that user alone. The level is the one word
// about a program's scope: Windows reads it to decide whether to ask for an
// administrator, the programs read it to decide where they work
// (base/install_scope.h), and vtpack writes it.
#ifndef VANTOREL_BASE_EXECUTION_LEVEL_H
#define VANTOREL_BASE_EXECUTION_LEVEL_H

inline constexpr char kMachineLevel[] = "level=\"requireAdministrator\"";
inline constexpr char kPerUserLevel[] = "level=\"asInvoker\"";

#endif
