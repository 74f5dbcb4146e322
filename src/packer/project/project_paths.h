// The paths a project file names: relative ones are found in the project's
// folder, and whatever the project file did not write itself (that folder,
// the values of ${...}) is escaped before the text goes to glob(3).
#ifndef VANTOREL_PACKER_PROJECT_PATHS_H
#define VANTOREL_PACKER_PROJECT_PATHS_H

#include <string>

namespace packer {

// "dir/file" unless `path` is absolute.
std::string ResolvePath(const std::string& directory, const std::string& path);

// `text` with the glob characters * ? [ and \ escaped by a backslash, so that
// glob(3) takes it literally.
std::string EscapeGlob(const std::string& text);

// Whether `pattern` holds a glob character (* ? [) that no backslash
// escapes.
bool HasGlobCharacters(const std::string& pattern);

}  // namespace packer

#endif
