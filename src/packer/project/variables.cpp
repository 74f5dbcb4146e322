#include "packer/project/variables.h"

#include <cstdlib>

#include "packer/project/project_paths.h"

namespace packer {

bool IsVariableName(const std::string& name) {
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
  for (char c : name) {
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!letter && !(c >= '0' && c <= '9') && c != '_') return false;
  }
  return true;
}

std::optional<std::string> Variables::Define(const std::string& definition) {
  std::size_t equals = definition.find('=');
  if (equals == std::string::npos) return "\"" + definition + "\" is not NAME=VALUE";
  std::string name = definition.substr(0, equals);
  if (!IsVariableName(name))
    return "\"" + name +
           "\" is not a variable name (letters, digits and \"_\", not starting with a digit)";
  defined_[name] = definition.substr(equals + 1);
  return std::nullopt;
}

std::optional<std::string> Variables::Lookup(const std::string& name) const {
  auto found = defined_.find(name);
  if (found != defined_.end()) return found->second;
  const char* value = std::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

Result<std::string> ExpandVariables(const std::string& text, const Variables& variables,
                                    std::string* globPattern) {
  std::string out, pattern;
  auto literal = [&](const std::string& piece) {
    out += piece;
    pattern += piece;
  };
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t dollar = text.find('$', i);
    if (dollar == std::string::npos || dollar + 1 == text.size()) {
      literal(text.substr(i));
      break;
    }
    literal(text.substr(i, dollar - i));
    char next = text[dollar + 1];
    if (next == '$') {
      literal("$");
      i = dollar + 2;
      continue;
    }
    if (next != '{') {
      literal("$");
      i = dollar + 1;
      continue;
    }
    std::size_t close = text.find('}', dollar);
    if (close == std::string::npos)
      return Problem{"", "has \"${\" without its closing \"}\"; write $$ for a \"$\" of its own"};
    std::string reference = text.substr(dollar + 2, close - dollar - 2);
    std::string name = reference;
    std::optional<std::string> fallback;
    std::size_t dash = reference.find(":-");
    if (dash != std::string::npos) {
      name = reference.substr(0, dash);
      fallback = reference.substr(dash + 2);
    }
    if (!IsVariableName(name))
      return Problem{"", "uses ${" + reference + "}: \"" + name +
                             "\" is not a variable name (letters, digits and \"_\")"};
    std::optional<std::string> value = variables.Lookup(name);
    if (fallback && (!value || value->empty())) value = fallback;
    if (!value)
      return Problem{"", "uses ${" + name + "}, which is not set (vtpack build -D " + name +
                             "=VALUE, or the environment, sets it)"};
    out += *value;
    pattern += EscapeGlob(*value);
    i = close + 1;
  }
  if (globPattern) *globPattern = pattern;
  return out;
}

}  // namespace packer
