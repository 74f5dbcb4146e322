// Reads a project file (TOML; the format is described in
// docs/project-format.md) into a checked Project.
#ifndef VANTOREL_PACKER_PROJECT_FILE_H
#define VANTOREL_PACKER_PROJECT_FILE_H

#include <string>

#include "packer/file_io.h"
#include "packer/problem.h"
#include "packer/project.h"

namespace packer {

// `identity`, when given, gets the project file's device and inode.
Result<Project> ReadProjectFile(const std::string& path, FileIdentity* identity = nullptr);
// The same from text already in memory; `directory` is the base of relative paths.
Result<Project> ParseProject(const std::string& text, const std::string& sourceName,
                             const std::string& directory);

}  // namespace packer

#endif
