// File input and all-or-nothing output for vtpack. Inputs are regular files
// only, read with the size they had when opened; the output never replaces an
// input, a device, a FIFO or a folder, and a failed or interrupted run leaves
// no temporary file.
#ifndef VANTOREL_PACKER_FILE_IO_H
#define VANTOREL_PACKER_FILE_IO_H

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "packer/byte_writer.h"
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
class AtomicOutput {
 public:
  AtomicOutput() = default;
  ~AtomicOutput();
  AtomicOutput(const AtomicOutput&) = delete;
  AtomicOutput& operator=(const AtomicOutput&) = delete;

  Check Create(const OutputTarget& target);
  // The temporary file's device and inode, once created.
  FileIdentity Identity() const { return identity_; }
  // Writes the parts and renames the temporary file to the target.
  Check Commit(const std::vector<const Bytes*>& parts);

 private:
  void Discard();
  std::string target_, temporary_;
  int fd_ = -1;
  FileIdentity identity_;
};

}  // namespace packer

#endif
