// ${NAME} in the texts of a project file: a source or the licence may name
// its folder by an environment variable.
#ifndef VANTOREL_PACKER_ENVIRONMENT_EXPANSION_H
#define VANTOREL_PACKER_ENVIRONMENT_EXPANSION_H

#include <optional>
#include <string>

namespace packer {

// Replaces ${NAME} and ${NAME:-fallback} by the environment's values.
// Null with `missing` set when a variable without fallback is unset.
// `globPattern`, when given, gets the same text with the values glob-escaped
// (EscapeGlob): only what the project file itself writes is a pattern.
std::optional<std::string> ExpandEnvironment(const std::string& text, std::string* missing,
                                             std::string* globPattern = nullptr);

}  // namespace packer

#endif
