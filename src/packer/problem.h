// How the packer reports bad input: every check returns a Problem naming the
// entry it concerns; vtpack turns it into one line that also names the file.
#ifndef VANTOREL_PACKER_PROBLEM_H
#define VANTOREL_PACKER_PROBLEM_H

#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace packer {

struct Problem {
  std::string entry;    // e.g. "files[2].subfolder"; empty: the input as a whole
  std::string message;  // what is wrong, without the entry
  int line = 0;         // line in the project file, 0 when unknown
};

// A value or the Problem that prevented it.
template <typename T>
class Result {
 public:
  Result(T value) : state_(std::move(value)) {}            // NOLINT: implicit on purpose
  Result(Problem problem) : state_(std::move(problem)) {}  // NOLINT
  bool ok() const { return state_.index() == 0; }
  T& value() { return std::get<0>(state_); }
  const T& value() const { return std::get<0>(state_); }
  const Problem& problem() const { return std::get<1>(state_); }

 private:
  std::variant<T, Problem> state_;
};

// For checks that produce nothing but may fail.
using Check = std::optional<Problem>;

// "PROJECT: line 12: files[2].name: contains '/'"
std::string Describe(const std::string& inputName, const Problem& problem);

// Names listed in a message, "a, b or c": `words` joined by ", ", the last
// two by `last` (" or ", " and ").
std::string JoinWords(const std::vector<std::string>& words, const char* last);

}  // namespace packer

#endif
