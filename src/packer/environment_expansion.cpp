#include "packer/environment_expansion.h"

#include <cstdlib>

#include "packer/project_paths.h"

namespace packer {

std::optional<std::string> ExpandEnvironment(const std::string& text, std::string* missing,
                                             std::string* globPattern) {
  std::string out, pattern;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t open = text.find("${", i);
    std::size_t close = open == std::string::npos ? open : text.find('}', open);
    if (close == std::string::npos) {
      out += text.substr(i);
      pattern += text.substr(i);
      break;
    }
    out += text.substr(i, open - i);
    pattern += text.substr(i, open - i);
    std::string reference = text.substr(open + 2, close - open - 2);
    std::string name = reference;
    std::optional<std::string> fallback;
    std::size_t dash = reference.find(":-");
    if (dash != std::string::npos) {
      name = reference.substr(0, dash);
      fallback = reference.substr(dash + 2);
    }
    const char* value = std::getenv(name.c_str());
    std::string replacement;
    if (value != nullptr && (*value != '\0' || !fallback)) {
      replacement = value;
    } else if (fallback) {
      replacement = *fallback;
    } else {
      if (missing) *missing = name;
      return std::nullopt;
    }
    out += replacement;
    pattern += EscapeGlob(replacement);
    i = close + 1;
  }
  if (globPattern) *globPattern = pattern;
  return out;
}

}  // namespace packer
