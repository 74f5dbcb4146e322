#include "engine/output_file.h"

#include <string.h>

#include "base/messages.h"
#include "state/install_settings.h"

HANDLE OpenForWriting(const char* path) {
  if (strlen(path) >= MAX_PATH) return INVALID_HANDLE_VALUE;
  return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE CreateOutputFile(const char* path) {
  HANDLE file = OpenForWriting(path);
  if (file == INVALID_HANDLE_VALUE) ShowError(nullptr, Settings.SetupCaption, IDS_OPEN_FILE, path);
  return file;
}

bool WriteAndClose(HANDLE file, const char* path, const void* data, DWORD size) {
  DWORD written = 0;
  bool complete = WriteFile(file, data, size, &written, nullptr) && written == size;
  CloseHandle(file);
  if (!complete) ShowError(nullptr, Settings.SetupCaption, IDS_WRITE_FILE, path);
  return complete;
}
