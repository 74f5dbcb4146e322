// The files a [[files]] source names when it is a pattern: `*`, `?` and
// `[...]` match within one name, a part that is `**` matches any number of
// folders. The pattern's fixed part (its leading folders without a pattern
// character) is where the walk starts, and each file keeps its path below
// it. Names that begin with a dot match like any other, as on Windows.
#ifndef VANTOREL_PACKER_SOURCE_TREE_H
#define VANTOREL_PACKER_SOURCE_TREE_H

#include <cstddef>
#include <string>
#include <vector>

#include "packer/problem.h"

namespace packer {

// One entry of `exclude`, matched against the path below the fixed part: a
// pattern without "/" matches a name at any depth ("*.pdb"), one with a
// "/" inside matches the path from the fixed part on ("docs/internal/**"),
// and a final "/" matches folders only (".git/"). A folder that matches is
// left out with all it holds.
struct ExcludePattern {
  std::vector<std::string> parts;  // "/"-separated, glob-escaped like the source
  bool anchored = false;
  bool foldersOnly = false;
};

// The reason when `pattern` (glob-escaped) is no exclude pattern: empty, or
// with a "." or ".." part.
Result<ExcludePattern> ParseExcludePattern(const std::string& pattern);

struct FoundFile {
  std::string path;      // the file as vtpack opens it
  std::string relative;  // below the fixed part, "/"-separated: "bin/plugins/x.dll"
};

struct SourceMatch {
  std::vector<FoundFile> files;     // regular files, in byte order of `relative`
  std::size_t unpackedFolders = 0;  // folders the last part matched, which are not packed
  std::vector<std::string>
      emptyFolders;  // folders a `**` met that hold nothing to pack, by `relative`
};

// The pattern's leading folders without a pattern character, unescaped:
// "dist" for "dist/**/*.dll", "." when it starts with a pattern.
// `partsInIt`, when given, gets their number.
std::string FixedPart(const std::string& pattern, std::size_t* partsInIt = nullptr);

// Walks the folders `pattern` (glob-escaped, as glob(3) reads it) names.
// The Problem (without entry) names a folder that cannot be read or a link
// that leads back to a folder holding it.
Result<SourceMatch> FindSourceFiles(const std::string& pattern,
                                    const std::vector<ExcludePattern>& excludes);

}  // namespace packer

#endif
