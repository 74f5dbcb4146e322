// The few operations of base/ that differ between Windows and the native
// Linux build (sanitizers, fuzzing): the reference count, the code page's
// lead-byte test and its single-byte case mapping, memory, and the fatal
// out-of-memory exit.
#ifndef VANTOREL_BASE_PLATFORM_H
#define VANTOREL_BASE_PLATFORM_H

#include <stddef.h>

namespace platform {

int AtomicIncrement(volatile int* value);  // returns the new value
int AtomicDecrement(volatile int* value);  // returns the new value

// Lead byte of a double-byte character in the active 8-bit code page.
bool IsLeadByte(unsigned char c);
unsigned char ToUpper(unsigned char c);
unsigned char ToLower(unsigned char c);

// General allocator of the program's blocks; never returns null: a failed
// allocation ends the process through FatalOutOfMemory.
void* Allocate(size_t bytes);
void Free(void* block);

#ifndef _WIN32
// Native builds only: lets tests stand in a double-byte code page.
void SetLeadBytePredicate(bool (*isLeadByte)(unsigned char));
#endif

}  // namespace platform

// The program cannot go on without memory: shows IDS_OUT_OF_MEMORY without owner
// and ends the process with exit code 1.
[[noreturn]] void FatalOutOfMemory();

#endif
