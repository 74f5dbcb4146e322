#include "base/file_contents.h"

#include <windows.h>

FileRead ReadFileContents(const char* path, unsigned maxSize, SharedString& contents) {
  contents.Empty();
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::kMissing
                                                                          : FileRead::kUnreadable;
  }
  const bool read = ReadOpenFile(file, maxSize, contents);
  CloseHandle(file);
  return read ? FileRead::kDone : FileRead::kUnreadable;
}

bool ReadOpenFile(HANDLE file, unsigned maxSize, SharedString& contents) {
  contents.Empty();
  DWORD sizeHigh = 0;
  const DWORD size = GetFileSize(file, &sizeHigh);
  bool read = size != INVALID_FILE_SIZE && sizeHigh == 0 && size <= maxSize;
  DWORD got = 0;
  read = read &&
         ReadFile(file, contents.GetBufferOfLength(static_cast<int>(size)), size, &got, nullptr) &&
         got == size;
  if (!read) contents.Empty();
  return read;
}
