// A package held in memory: the tests and the fuzzer read packages they
// built or were given without touching the disk.
#ifndef VANTOREL_PACKAGE_MEMORY_PACKAGE_FILE_H
#define VANTOREL_PACKAGE_MEMORY_PACKAGE_FILE_H

#include <stddef.h>

#include "package/package_file.h"

class MemoryPackageFile final : public PackageFile {
 public:
  // The bytes stay the caller's and must outlive this object.
  MemoryPackageFile(const void* bytes, size_t size);

  bool Read(void* buffer, uint32_t count) override;
  bool Seek(uint64_t offset) override;
  uint64_t Position() const override { return position_; }
  uint64_t Size() const override { return size_; }

 private:
  const unsigned char* bytes_;
  uint64_t size_;
  uint64_t position_;
};

#endif
