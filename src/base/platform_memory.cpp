// The program's general allocator: the C runtime's heap, never the C++
// runtime's operator new. A failure is fatal, so no caller sees null.
#include <stdlib.h>

#include "base/platform.h"

namespace platform {

void* Allocate(size_t bytes) {
  void* block = malloc(bytes != 0 ? bytes : 1);  // malloc(0) may return null
  if (block == nullptr) FatalOutOfMemory();
  return block;
}

void Free(void* block) { free(block); }

}  // namespace platform
