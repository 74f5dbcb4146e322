#include "engine/output_file.h"

#include <string.h>

#include "base/file_handles.h"
#include "base/install_journal.h"
#include "base/messages.h"
#include "engine/install_timing.h"
#include "state/install_settings.h"

namespace {

const DWORD kAttributesNotOverwritten = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// Names drawn before the install gives up: each is one of 2^32, so only a
// failing random source makes two of them taken.
const unsigned kStagingAttempts = 16;

HANDLE CreateFileForWriting(const char* path, DWORD disposition, DWORD access = GENERIC_WRITE) {
  if (strlen(path) >= MAX_PATH) return INVALID_HANDLE_VALUE;
  InstallTimer timer(InstallPhase::kCreateFile);
  return CreateFileA(path, access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

// A number nobody can tell beforehand: RtlGenRandom (advapi32's
// SystemFunction036, Windows XP on), else the clock and the process.
unsigned RandomNumber() {
  typedef BOOLEAN(WINAPI * RandomFunction)(void*, ULONG);
  static const RandomFunction random = reinterpret_cast<RandomFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("advapi32.dll"), "SystemFunction036")));
  static unsigned fallback = GetTickCount() ^ GetCurrentProcessId() << 16;
  unsigned number = 0;
  if (random == nullptr || !random(&number, sizeof number)) number = fallback += 0x9E3779B9u;
  return number;
}

SharedString StagingPath(const char* directory) {
  SharedString path;
  FormatString(path, "%s~vt%08X.tmp", directory, RandomNumber());
  return path;
}

// A staging name, noted in the journal of the install under way before
// anything has it: a run killed before the file is marked for deletion
// leaves nothing unnoted.
SharedString NotedStagingPath(const char* directory) {
  const SharedString path = StagingPath(directory);
  JournalLine("file", path);
  return path;
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

HANDLE CreateStagingFile(const char* directory) {
  for (unsigned attempt = 0; attempt < kStagingAttempts; ++attempt) {
    const SharedString path = NotedStagingPath(directory);
    HANDLE file = CreateFileForWriting(path, CREATE_NEW, GENERIC_WRITE | DELETE);
    // It goes with its handle, however the run ends, until it is put in
    // place.
    if (file != INVALID_HANDLE_VALUE) MarkForDeletion(file);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

HANDLE MoveAside(const char* directory, const char* path) {
  HANDLE file = OpenItself(path, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE);
  if (file == INVALID_HANDLE_VALUE) return file;
  if (HoldsItself(file, path)) {
    for (unsigned attempt = 0; attempt < kStagingAttempts; ++attempt) {
      // Aside, it goes with its handle unless it is taken back.
      if (RenameThroughHandle(file, NotedStagingPath(directory))) {
        MarkForDeletion(file);
        return file;
      }
    }
  }
  CloseHandle(file);
  return INVALID_HANDLE_VALUE;
}
