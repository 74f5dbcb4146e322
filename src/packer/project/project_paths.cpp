#include "packer/project/project_paths.h"

namespace packer {

std::string ResolvePath(const std::string& directory, const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  return directory + "/" + path;
}

std::string EscapeGlob(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '*' || c == '?' || c == '[' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

bool HasGlobCharacters(const std::string& pattern) {
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '\\') {
      ++i;
    } else if (pattern[i] == '*' || pattern[i] == '?' || pattern[i] == '[') {
      return true;
    }
  }
  return false;
}

}  // namespace packer
