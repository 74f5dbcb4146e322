// File input and all-or-nothing output for vtpack. Inputs are regular files
// only, read with the size they had when opened; the output never replaces an
// input, a device, a FIFO or a folder, and a failed or interrupted run leaves
// no temporary file.
#ifndef VANTOREL_PACKER_FILE_IO_H
#define VANTOREL_PACKER_FILE_IO_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

#include "packer/byte_writer.h"
#include "packer/output_sink.h"
#include "packer/problem.h"

namespace packer {

// Device and inode: what tells two names of one file apart from two files.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const FileIdentity& other) const {
    return device == other.device && inode == other.inode;
  }
};

// An input file opened for reading: a regular file, checked with fstat on
// the opened descriptor, which was opened without blocking (a FIFO never
// hangs vtpack).
class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // The message of a failure says why in words ("is a FIFO, not a regular
  // file", "No such file or directory").
  static Result<InputFile> Open(const std::string& path);

  // The size taken once, when the file was opened.
  std::uint64_t Size() const { return size_; }
  std::int64_t Modified() const { return modified_; }
  FileIdentity Identity() const { return identity_; }
  // Appends at most Size() bytes to `out` (fewer when the file shrank); what
  // was appended after the file was opened is never read.
  Check ReadInto(Bytes& out);
  // Reads up to `count` bytes from where the last read ended; 0 at the
  // file's end.
  Result<std::size_t> Read(std::uint8_t* buffer, std::size_t count);
  // Reads exactly `count` bytes at `offset`, apart from the reads above;
  // false when they are not there (any more) or cannot be read.
  bool ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count);

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
  std::int64_t modified_ = 0;
  FileIdentity identity_;
};

// Reads `path` whole (at most the size it had when opened).
Result<Bytes> ReadFileBytes(const std::string& path, FileIdentity* identity = nullptr);

// Where the output goes: `path`, or the file a symbolic link there points to
// (as cp writes through it). Refuses a path that exists and is not a regular
// file. `identity` is set when the file exists.
struct OutputTarget {
  std::string path;  // the name the finished file is renamed to
  bool exists = false;
  FileIdentity identity;
};
Result<OutputTarget> ResolveOutput(const std::string& path);

// The temporary file beside the output, created at once. It is removed when
// this object ends without Commit, and also when vtpack is stopped by SIGINT,
// SIGTERM or SIGHUP; SIGXFSZ is ignored, so a file-size limit makes a write
// fail instead of killing vtpack. One at a time.
// The file is written through OutputSink; a failed write names the target.
class AtomicOutput final : public OutputSink {
 public:
  AtomicOutput() = default;
  ~AtomicOutput();
  AtomicOutput(const AtomicOutput&) = delete;
  AtomicOutput& operator=(const AtomicOutput&) = delete;

  Check Create(const OutputTarget& target);
  // The temporary file's device and inode, once created.
  FileIdentity Identity() const { return identity_; }

  Check Append(const std::uint8_t* bytes, std::size_t size) override;
  Check WriteAt(std::uint64_t offset, const std::uint8_t* bytes, std::size_t size) override;
  Check Truncate(std::uint64_t size) override;
  std::uint64_t Size() const override { return size_; }
  // Hands what is written so far to `take`, read back a piece at a time.
  Check ReadBack(const std::function<void(const std::uint8_t*, std::size_t)>& take) const;

  // Makes the file executable, flushes it to disk and renames it to the
  // target.
  Check Commit();

 private:
  Problem WriteProblem(int error) const;
  void Discard();
  std::string target_, temporary_;
  int fd_ = -1;
  std::uint64_t size_ = 0;
  FileIdentity identity_;
};

}  // namespace packer

#endif
