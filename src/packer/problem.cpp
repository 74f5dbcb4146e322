#include "packer/problem.h"

namespace packer {

std::string Describe(const std::string& inputName, const Problem& problem) {
  std::string text = inputName;
  if (problem.line > 0) text += ": line " + std::to_string(problem.line);
  if (!problem.entry.empty()) text += ": " + problem.entry;
  return text + ": " + problem.message;
}

std::string JoinWords(const std::vector<std::string>& words, const char* last) {
  std::string text;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? last : ", ";
    text += words[i];
  }
  return text;
}

}  // namespace packer
