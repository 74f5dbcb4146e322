// The package in a file on disk, read through the Windows file API: the setup
// program reads its own executable this way. Texts and records are read a few
// bytes at a time, so reads go through a buffer instead of one ReadFile each.
#ifndef VANTOREL_PACKAGE_WIN32_PACKAGE_FILE_H
#define VANTOREL_PACKAGE_WIN32_PACKAGE_FILE_H

#include "package/package_file.h"

class Win32PackageFile final : public PackageFile {
 public:
  Win32PackageFile();
  ~Win32PackageFile();
  Win32PackageFile(const Win32PackageFile&) = delete;
  Win32PackageFile& operator=(const Win32PackageFile&) = delete;

  // Opens an existing file for reading; others may read it meanwhile. False
  // when it cannot be opened (GetLastError says why). The wide form opens
  // any name the file system holds, also one the 8-bit code page cannot
  // spell.
  bool Open(const char* path);
  bool Open(const wchar_t* path);
  void Close();

  bool Read(void* buffer, uint32_t count) override;
  bool Seek(uint64_t offset) override;
  uint64_t Position() const override { return position_; }
  uint64_t Size() const override { return size_; }

 private:
  enum { kBufferSize = 4096 };
  bool Adopt(void* handle);
  bool ReadAt(uint64_t offset, void* buffer, uint32_t count, uint32_t* got);

  void* handle_;  // HANDLE; INVALID_HANDLE_VALUE when closed
  uint64_t size_;
  uint64_t position_;
  uint64_t bufferOffset_;  // file offset of buffer_[0]
  uint32_t bufferLength_;  // valid bytes in buffer_
  unsigned char buffer_[kBufferSize];
};

#endif
