// The character block behind SharedString, for the files that implement it
// (string, search and replace, formatting). Not for other callers (the
// string tests look at blocks through it).
//
// Block layout (one allocation): StringHeader, then capacity + 1 characters.
// The shared empty block (reference count -1) is static and never counted or
// freed.
#ifndef VANTOREL_BASE_SHARED_STRING_BLOCK_H
#define VANTOREL_BASE_SHARED_STRING_BLOCK_H

struct StringHeader {
  int referenceCount;  // -1: the shared empty block
  int length;          // characters in use, without the terminator
  int capacity;        // characters that fit, without the terminator
};

namespace string_block {

char* EmptyChars();
StringHeader* HeaderOf(const char* chars);
// A new block: reference count 1, length = capacity, terminator at capacity.
// A capacity the header cannot describe is fatal like a failed allocation.
char* Allocate(long long capacity);
// A new block of `capacity` holding `length` characters of text.
char* Copy(const char* text, int length, long long capacity);
// Drops one reference; frees the block at zero.
void Release(char* chars);
// Whether `text` points into the block of `chars` (terminator included).
bool PointsInto(const char* text, const char* chars);

}  // namespace string_block

#endif
