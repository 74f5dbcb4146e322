#include "packer/problem.h"

namespace packer {

std::string Describe(const std::string& inputName, const Problem& problem) {
  std::string text = inputName;
  if (problem.line > 0) text += ": line " + std::to_string(problem.line);
  if (!problem.entry.empty()) text += ": " + problem.entry;
  return text + ": " + problem.message;
}

}  // namespace packer
