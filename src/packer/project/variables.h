// ${NAME} in the texts of a project file: every text may take a value from
// `vtpack build -D NAME=VALUE` or from the environment, so that CI gives the
// version, the build folder or the publisher.
#ifndef VANTOREL_PACKER_VARIABLES_H
#define VANTOREL_PACKER_VARIABLES_H

#include <map>
#include <optional>
#include <string>

#include "packer/problem.h"

namespace packer {

// The names a project's texts may use: those defined on the command line
// first, then the environment.
class Variables {
 public:
  // "NAME=VALUE" as -D takes it; the reason when it is not one.
  std::optional<std::string> Define(const std::string& definition);
  std::optional<std::string> Lookup(const std::string& name) const;

 private:
  std::map<std::string, std::string> defined_;
};

// A name of letters, digits and "_" that does not start with a digit.
bool IsVariableName(const std::string& name);

// Replaces ${NAME} by its value, ${NAME:-fallback} by the value or, when
// NAME is unset or empty, by the fallback, and $$ by $; any other "$" stays.
// The Problem (without entry) names a variable that is unset and has no
// fallback, a "${" without its "}" or a reference that is not a name.
// `globPattern`, when given, gets the same text with the values escaped
// (EscapeGlob): only what the project file itself writes is a pattern.
Result<std::string> ExpandVariables(const std::string& text, const Variables& variables,
                                    std::string* globPattern = nullptr);

}  // namespace packer

#endif
