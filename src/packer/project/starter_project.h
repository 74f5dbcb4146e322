// vtpack init: a starter project file for an application's build folder,
// one that builds as it stands. Its name is the folder's, its one [[files]]
// entry packs the whole folder with its folders, its program is the one
// .exe file at the folder's top (the one named like the folder when there
// are several), and every key has a comment that says what it does.
#ifndef VANTOREL_PACKER_STARTER_PROJECT_H
#define VANTOREL_PACKER_STARTER_PROJECT_H

#include <string>

#include "packer/problem.h"

namespace packer {

// The text of a project file at `projectPath` for the build folder
// `folder`; with `perUser`, of a per-user package (application.scope =
// "user"). The Problem (without entry) says why there is none: the folder
// is missing, or the project file would lie inside it (and be packed).
Result<std::string> StarterProject(const std::string& folder, const std::string& projectPath,
                                   bool perUser = false);

}  // namespace packer

#endif
