// Reads a project file (TOML; the format is described in
// docs/project-format.md) into a checked Project.
#ifndef VANTOREL_PACKER_PROJECT_FILE_H
#define VANTOREL_PACKER_PROJECT_FILE_H

#include <string>

#include "packer/file_io.h"
#include "packer/problem.h"
#include "packer/project/project.h"
#include "packer/project/variables.h"

namespace packer {

// Every text's ${...} takes its value from `variables`. `identity`, when
// given, gets the project file's device and inode.
Result<Project> ReadProjectFile(const std::string& path, const Variables& variables = {},
                                FileIdentity* identity = nullptr);
// The same from text already in memory; `directory` is the base of relative paths.
Result<Project> ParseProject(const std::string& text, const std::string& sourceName,
                             const std::string& directory, const Variables& variables = {});

}  // namespace packer

#endif
