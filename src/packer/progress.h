// The one line that `vtpack build` keeps up to date on a terminal while it
// works: files read, bytes compressed and the rate of reading. The reading
// and compressing code report what they have done; the line is redrawn at
// most ten times a second and erased before anything else is printed. On a
// stream that is not a terminal (a pipe, a log) nothing is written.
#ifndef VANTOREL_PACKER_PROGRESS_H
#define VANTOREL_PACKER_PROGRESS_H

#include <chrono>
#include <cstdint>
#include <ostream>

namespace packer {

class BuildProgress {
 public:
  // `terminal` null: a progress that shows nothing.
  explicit BuildProgress(std::ostream* terminal);
  ~BuildProgress() { Erase(); }
  BuildProgress(const BuildProgress&) = delete;
  BuildProgress& operator=(const BuildProgress&) = delete;

  // `bytes` more of a file read; `fileDone` when that file is read whole.
  void Read(std::uint64_t bytes, bool fileDone);
  void Compressed(std::uint64_t bytes);
  // Clears the line; the next report draws it again.
  void Erase();

 private:
  void Draw();

  std::ostream* terminal_;
  std::chrono::steady_clock::time_point start_, drawn_;
  std::uint64_t files_ = 0, read_ = 0, compressed_ = 0;
  std::size_t shown_ = 0;  // characters on the line now
};

}  // namespace packer

#endif
