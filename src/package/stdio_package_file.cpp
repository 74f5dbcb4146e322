#include "package/stdio_package_file.h"

#include <sys/types.h>

StdioPackageFile::StdioPackageFile() : file_(nullptr), size_(0), position_(0) {}

StdioPackageFile::~StdioPackageFile() { Close(); }

bool StdioPackageFile::Open(const char* path) {
  Close();
  FILE* file = fopen(path, "rb");
  if (file == nullptr) return false;
  off_t size = -1;
  if (fseeko(file, 0, SEEK_END) == 0) size = ftello(file);
  if (size < 0 || fseeko(file, 0, SEEK_SET) != 0) {
    fclose(file);
    return false;
  }
  file_ = file;
  size_ = static_cast<uint64_t>(size);
  position_ = 0;
  return true;
}

void StdioPackageFile::Close() {
  if (file_ != nullptr) fclose(file_);
  file_ = nullptr;
  size_ = position_ = 0;
}

bool StdioPackageFile::Read(void* buffer, uint32_t count) {
  if (file_ == nullptr) return false;
  size_t got = fread(buffer, 1, count, file_);
  position_ += got;
  return got == count;
}

bool StdioPackageFile::Seek(uint64_t offset) {
  if (file_ == nullptr || offset > size_) return false;
  if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
  position_ = offset;
  return true;
}
