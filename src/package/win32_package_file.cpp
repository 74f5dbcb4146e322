#include "package/win32_package_file.h"

#include <windows.h>
#include <string.h>

Win32PackageFile::Win32PackageFile()
    : handle_(INVALID_HANDLE_VALUE), size_(0), position_(0), bufferOffset_(0), bufferLength_(0) {}

Win32PackageFile::~Win32PackageFile() { Close(); }

bool Win32PackageFile::Open(const char* path) {
  Close();
  return Adopt(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool Win32PackageFile::Open(const wchar_t* path) {
  Close();
  return Adopt(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool Win32PackageFile::Adopt(void* handle) {
  if (handle == INVALID_HANDLE_VALUE) return false;
  DWORD high = 0;
  DWORD low = GetFileSize(handle, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
    DWORD error = GetLastError();
    CloseHandle(handle);
    SetLastError(error);
    return false;
  }
  handle_ = handle;
  size_ = (static_cast<uint64_t>(high) << 32) | low;
  position_ = 0;
  bufferLength_ = 0;
  return true;
}

void Win32PackageFile::Close() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  size_ = position_ = 0;
  bufferLength_ = 0;
}

bool Win32PackageFile::ReadAt(uint64_t offset, void* buffer, uint32_t count, uint32_t* got) {
  LONG high = static_cast<LONG>(offset >> 32);
  DWORD low = SetFilePointer(handle_, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return false;
  DWORD read = 0;
  if (!ReadFile(handle_, buffer, count, &read, nullptr)) return false;
  *got = read;
  return true;
}

bool Win32PackageFile::Read(void* buffer, uint32_t count) {
  if (handle_ == INVALID_HANDLE_VALUE) return false;
  unsigned char* out = static_cast<unsigned char*>(buffer);
  while (count > 0) {
    if (position_ >= bufferOffset_ && position_ < bufferOffset_ + bufferLength_) {
      uint32_t start = static_cast<uint32_t>(position_ - bufferOffset_);
      uint32_t take = bufferLength_ - start;
      if (take > count) take = count;
      memcpy(out, buffer_ + start, take);
      out += take;
      count -= take;
      position_ += take;
      continue;
    }
    uint32_t got = 0;
    if (count >= kBufferSize) {
      // Blocks go straight into the caller's buffer.
      if (!ReadAt(position_, out, count, &got)) return false;
      position_ += got;
      return got == count;
    }
    if (!ReadAt(position_, buffer_, kBufferSize, &got)) return false;
    bufferOffset_ = position_;
    bufferLength_ = got;
    if (got == 0) return false;  // end of file
  }
  return true;
}

bool Win32PackageFile::Seek(uint64_t offset) {
  if (handle_ == INVALID_HANDLE_VALUE || offset > size_) return false;
  position_ = offset;
  return true;
}
