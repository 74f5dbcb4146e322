// ResourceText on Windows: a text of the executable's string table, loaded
// into a process-heap block sized by the table block that holds it.
#include <windows.h>

#include "base/messages.h"

namespace {

// Fetched once during static initialisation, which StartProgram runs first
// thing in the entry point, once the DLL search is narrowed
// (base/program_start.h).
const HMODULE module = GetModuleHandleA(nullptr);
const HANDLE processHeap = GetProcessHeap();

}  // namespace

bool ResourceText::Load() {
  // Texts are grouped by 16 ids; block n / 16 + 1 holds id n.
  HRSRC block = FindResourceA(module, MAKEINTRESOURCEA(id_ / 16 + 1), MAKEINTRESOURCEA(6));
  if (block == nullptr) return false;
  // The block holds sixteen UTF-16 texts behind 16-bit lengths: its size
  // always holds the 8-bit form of one of them.
  DWORD blockSize = SizeofResource(module, block);
  if (blockSize == 0) return false;
  char* buffer = static_cast<char*>(HeapAlloc(processHeap, HEAP_ZERO_MEMORY, blockSize));
  if (buffer == nullptr) return false;
  if (LoadStringA(module, id_, buffer, static_cast<int>(blockSize)) == 0) {
    HeapFree(processHeap, 0, buffer);
    return false;
  }
  length_ = lstrlenA(buffer);
  void* shrunk =
      HeapReAlloc(processHeap, HEAP_ZERO_MEMORY, buffer, static_cast<SIZE_T>(length_) + 1);
  text_ = shrunk != nullptr ? static_cast<char*>(shrunk) : buffer;
  return true;
}

// The process heap is shared with the install's worker thread (through the
// C runtime's allocations), so every call keeps the heap's own lock: none
// passes HEAP_NO_SERIALIZE.
ResourceText::~ResourceText() {
  if (text_ != nullptr) {
    HeapFree(processHeap, 0, text_);
    text_ = nullptr;
  }
}
