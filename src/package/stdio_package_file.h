// The package in a file on disk, read through C stdio: the native builds
// (vtpack list and verify, tests) read finished setup files this way.
#ifndef VANTOREL_PACKAGE_STDIO_PACKAGE_FILE_H
#define VANTOREL_PACKAGE_STDIO_PACKAGE_FILE_H

#include <stdio.h>

#include "package/package_file.h"

class StdioPackageFile final : public PackageFile {
 public:
  StdioPackageFile();
  ~StdioPackageFile();
  StdioPackageFile(const StdioPackageFile&) = delete;
  StdioPackageFile& operator=(const StdioPackageFile&) = delete;

  // Opens an existing file for reading; false when it cannot (errno says why).
  bool Open(const char* path);
  void Close();

  bool Read(void* buffer, uint32_t count) override;
  bool Seek(uint64_t offset) override;
  uint64_t Position() const override { return position_; }
  uint64_t Size() const override { return size_; }

 private:
  FILE* file_;
  uint64_t size_;
  uint64_t position_;
};

#endif
