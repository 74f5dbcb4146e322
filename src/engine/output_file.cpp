#include "engine/output_file.h"

#include <string.h>

#include "base/file_handles.h"
#include "base/messages.h"
#include "engine/install_timing.h"
#include "state/install_settings.h"

namespace {

const DWORD kAttributesNotOverwritten = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// Names a staging file may take before the install gives up: only a folder
// crowded with leftovers of crashed installs runs out of them.
const unsigned kStagingAttempts = 256;

HANDLE CreateFileForWriting(const char* path, DWORD disposition) {
  if (strlen(path) >= MAX_PATH) return INVALID_HANDLE_VALUE;
  InstallTimer timer(InstallPhase::kCreateFile);
  return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

HANDLE OpenForWriting(const char* path) { return CreateFileForWriting(path, CREATE_ALWAYS); }

HANDLE CreateNewFile(const char* path) { return CreateFileForWriting(path, CREATE_NEW); }

bool IsFileItself(const char* path) {
  HANDLE file = OpenItself(path, FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  const bool itself = file != INVALID_HANDLE_VALUE && HoldsItself(file, path);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return itself;
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

bool CanOverwrite(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kAttributesNotOverwritten) != 0) {
    return false;
  }
  HANDLE probe = CreateFileForWriting(path, OPEN_EXISTING);
  if (probe == INVALID_HANDLE_VALUE) return false;
  CloseHandle(probe);
  return true;
}

SharedString StagingPath(const char* directory, unsigned number) {
  SharedString path;
  FormatString(path, "%s~vt%04X.tmp", directory, number & 0xFFFF);
  return path;
}

namespace {

// Takes the first free staging name of `directory` from a number that
// differs from run to run: a new file (`file` set), or the name the file at
// `movedPath` is renamed to. Names in use are passed over; any other
// failure ends the search.
bool TakeStagingName(const char* directory, const char* movedPath, unsigned* number, HANDLE* file) {
  unsigned first = (GetTickCount() ^ GetCurrentProcessId()) & 0xFFFF;
  for (unsigned attempt = 0; attempt < kStagingAttempts; ++attempt) {
    *number = (first + attempt) & 0xFFFF;
    const SharedString path = StagingPath(directory, *number);
    if (movedPath != nullptr) {
      if (MoveFileExA(movedPath, path, 0)) return true;
    } else {
      *file = CreateNewFile(path);
      if (*file != INVALID_HANDLE_VALUE) return true;
    }
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return false;
}

}  // namespace

HANDLE CreateStagingFile(const char* directory, unsigned* number) {
  HANDLE file = INVALID_HANDLE_VALUE;
  TakeStagingName(directory, nullptr, number, &file);
  return file;
}

bool MoveToStagingName(const char* directory, const char* path, unsigned* number) {
  return TakeStagingName(directory, path, number, nullptr);
}
