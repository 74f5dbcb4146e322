#include "package/memory_package_file.h"

#include <string.h>

MemoryPackageFile::MemoryPackageFile(const void* bytes, size_t size)
    : bytes_(static_cast<const unsigned char*>(bytes)), size_(size), position_(0) {}

bool MemoryPackageFile::Read(void* buffer, uint32_t count) {
  if (count > size_ - position_) {
    position_ = size_;  // like a file: a short read consumes what was there
    return false;
  }
  if (count != 0) memcpy(buffer, bytes_ + position_, count);
  position_ += count;
  return true;
}

bool MemoryPackageFile::Seek(uint64_t offset) {
  if (offset > size_) return false;
  position_ = offset;
  return true;
}
