// What `vtpack build` tells while it works. On a terminal: one line kept up
// to date, the files and bytes read out of the total, the bytes written and
// the rate of reading, redrawn at most ten times a second and erased before
// anything else is printed. Elsewhere (a pipe, a CI log): one summary line
// at the end, the files, the bytes in and out and the seconds taken.
#ifndef VANTOREL_PACKER_PROGRESS_H
#define VANTOREL_PACKER_PROGRESS_H

#include <chrono>
#include <cstdint>
#include <ostream>

#include "packer/output_sink.h"

namespace packer {

class BuildProgress {
 public:
  // `terminal` gets the line; without one, `summary` gets the summary. Both
  // null: a progress that shows nothing.
  BuildProgress(std::ostream* terminal, std::ostream* summary = nullptr);
  ~BuildProgress() { Erase(); }
  BuildProgress(const BuildProgress&) = delete;
  BuildProgress& operator=(const BuildProgress&) = delete;

  // The files and bytes the build will read.
  void Expect(std::uint64_t files, std::uint64_t bytes);
  // `bytes` more of a file read; `fileDone` when that file is read whole.
  void Read(std::uint64_t bytes, bool fileDone);
  // The output is `size` bytes long now.
  void Written(std::uint64_t size);
  // Clears the line; the next report draws it again.
  void Erase();
  // The build is done: the line goes, or the summary is printed.
  void Finish();

 private:
  void Draw(bool always = false);

  std::ostream* terminal_;
  std::ostream* summary_;
  std::chrono::steady_clock::time_point start_, drawn_;
  std::uint64_t files_ = 0, read_ = 0, written_ = 0;
  std::uint64_t totalFiles_ = 0, totalBytes_ = 0;
  std::size_t shown_ = 0;  // characters on the line now
};

// An output that tells `progress` its size after every change.
class ProgressSink final : public OutputSink {
 public:
  ProgressSink(OutputSink& out, BuildProgress& progress) : out_(out), progress_(progress) {}
  Check Append(const std::uint8_t* bytes, std::size_t size) override {
    return Told(out_.Append(bytes, size));
  }
  Check WriteAt(std::uint64_t offset, const std::uint8_t* bytes, std::size_t size) override {
    return Told(out_.WriteAt(offset, bytes, size));
  }
  Check Truncate(std::uint64_t size) override { return Told(out_.Truncate(size)); }
  std::uint64_t Size() const override { return out_.Size(); }

 private:
  Check Told(Check problem) {
    progress_.Written(out_.Size());
    return problem;
  }
  OutputSink& out_;
  BuildProgress& progress_;
};

}  // namespace packer

#endif
