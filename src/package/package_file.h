// PackageFile: the package's bytes as the reader sees them, a file it can read
// exactly, seek in and measure. The setup program reads its own executable
// through Win32PackageFile; native builds, tests and the fuzzer read memory or
// a stdio file, so the same reader runs everywhere.
#ifndef VANTOREL_PACKAGE_PACKAGE_FILE_H
#define VANTOREL_PACKAGE_PACKAGE_FILE_H

#include <stdint.h>

class PackageFile {
 public:
  // Reads exactly `count` bytes from the current position and moves past
  // them. False when fewer bytes are there or the read fails; the position
  // is then unspecified.
  virtual bool Read(void* buffer, uint32_t count) = 0;
  // Moves to an absolute offset; false past the end of the file.
  virtual bool Seek(uint64_t offset) = 0;
  virtual uint64_t Position() const = 0;
  virtual uint64_t Size() const = 0;

 protected:
  // Not deleted through this interface: no virtual destructor, so no
  // deleting destructor that would pull operator delete into the program.
  ~PackageFile() = default;
};

#endif
