// SharedString: block management, copy on write, assignment, append,
// concatenation, middle and the buffer interface. Search and replace live in
// string_search.cpp, formatting in format_string.cpp.
#include "base/shared_string.h"

#include <limits.h>
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "base/platform.h"
#include "base/shared_string_block.h"

namespace {

// The one block every empty string points at. It is never counted, written
// or freed; being const, it sits in read-only memory, so a write would fault
// at once rather than corrupt every empty string.
struct EmptyBlock {
  StringHeader header;
  char text[1];
};
const EmptyBlock emptyBlock = {{-1, 0, 0}, {0}};
static_assert(offsetof(EmptyBlock, text) == sizeof(StringHeader),
              "the characters follow the header directly");

}  // namespace

namespace string_block {

char* EmptyChars() { return const_cast<char*>(emptyBlock.text); }

StringHeader* HeaderOf(const char* chars) {
  return reinterpret_cast<StringHeader*>(const_cast<char*>(chars)) - 1;
}

char* Allocate(long long capacity) {
  // The header's int fields bound every block.
  if (capacity < 0 || capacity > INT_MAX - static_cast<long long>(sizeof(StringHeader)) - 1)
    FatalOutOfMemory();
  void* memory = platform::Allocate(sizeof(StringHeader) + static_cast<size_t>(capacity) + 1);
  StringHeader* header = static_cast<StringHeader*>(memory);
  header->referenceCount = 1;
  header->length = static_cast<int>(capacity);
  header->capacity = static_cast<int>(capacity);
  char* chars = reinterpret_cast<char*>(header + 1);
  chars[capacity] = '\0';
  return chars;
}

char* Copy(const char* text, int length, long long capacity) {
  char* chars = Allocate(capacity);
  memcpy(chars, text, static_cast<size_t>(length));
  chars[length] = '\0';
  HeaderOf(chars)->length = length;
  return chars;
}

void Release(char* chars) {
  StringHeader* header = HeaderOf(chars);
  if (header->referenceCount < 0) return;  // the shared empty block
  if (platform::AtomicDecrement(&header->referenceCount) <= 0) {
    platform::Free(header);
  }
}

bool PointsInto(const char* text, const char* chars) {
  const StringHeader* header = HeaderOf(chars);
  uintptr_t first = reinterpret_cast<uintptr_t>(chars);
  uintptr_t address = reinterpret_cast<uintptr_t>(text);
  return address >= first && address <= first + static_cast<uintptr_t>(header->capacity);
}

}  // namespace string_block

using string_block::HeaderOf;

namespace {

// Texts below 65536 are string-table ids in pointer form, not addresses.
bool IsRealText(const char* text) {
  return reinterpret_cast<uintptr_t>(text) >= 65536 && text[0] != '\0';
}

int MeasureText(const char* text) {
  size_t length = strlen(text);
  if (length > static_cast<size_t>(INT_MAX)) FatalOutOfMemory();
  return static_cast<int>(length);
}

}  // namespace

SharedString::SharedString() : chars_(string_block::EmptyChars()) {}

SharedString::SharedString(const char* text) : chars_(string_block::EmptyChars()) {
  if (IsRealText(text)) {
    int length = MeasureText(text);
    chars_ = string_block::Copy(text, length, length);
  }
}

SharedString::SharedString(const SharedString& other) : chars_(string_block::EmptyChars()) {
  StringHeader* header = HeaderOf(other.chars_);
  if (header->referenceCount < 0) {
    // Not a counted block: copy its characters (none, for the empty block).
    if (header->length > 0)
      chars_ = string_block::Copy(other.chars_, header->length, header->length);
    return;
  }
  platform::AtomicIncrement(&header->referenceCount);
  chars_ = other.chars_;
}

SharedString::~SharedString() { string_block::Release(chars_); }

int SharedString::Length() const { return HeaderOf(chars_)->length; }

void SharedString::Empty() {
  string_block::Release(chars_);
  chars_ = string_block::EmptyChars();
}

void SharedString::MakePrivate() {
  StringHeader* header = HeaderOf(chars_);
  if (header->referenceCount <= 1) return;
  char* copy = string_block::Copy(chars_, header->length, header->length);
  string_block::Release(chars_);
  chars_ = copy;
}

void SharedString::AssignText(const char* text, int length) {
  StringHeader* header = HeaderOf(chars_);
  if (header->referenceCount == 1 && header->capacity >= length) {
    // Written in place; memmove because the text may be part of this block.
    memmove(chars_, text, static_cast<size_t>(length));
    chars_[length] = '\0';
    header->length = length;
    return;
  }
  // A new block is filled before the old one goes: the text may live in it.
  char* fresh = length > 0 ? string_block::Copy(text, length, length) : string_block::EmptyChars();
  string_block::Release(chars_);
  chars_ = fresh;
}

SharedString& SharedString::operator=(const SharedString& other) {
  if (chars_ == other.chars_) return *this;
  StringHeader* otherHeader = HeaderOf(other.chars_);
  if (otherHeader->referenceCount < 0) {
    AssignText(other.chars_, otherHeader->length);
    return *this;
  }
  platform::AtomicIncrement(&otherHeader->referenceCount);
  string_block::Release(chars_);
  chars_ = other.chars_;
  return *this;
}

SharedString& SharedString::operator=(const char* text) {
  if (IsRealText(text)) {
    AssignText(text, MeasureText(text));
  } else {
    AssignText("", 0);
  }
  return *this;
}

void SharedString::Append(const char* text, int count) {
  if (count <= 0) return;
  StringHeader* header = HeaderOf(chars_);
  long long newLength = static_cast<long long>(header->length) + count;
  if (header->referenceCount == 1 && newLength <= header->capacity) {
    memmove(chars_ + header->length, text, static_cast<size_t>(count));
    header->length = static_cast<int>(newLength);
    chars_[newLength] = '\0';
    return;
  }
  // Sized exactly: no spare capacity is added.
  char* fresh = string_block::Allocate(newLength);
  memcpy(fresh, chars_, static_cast<size_t>(header->length));
  memcpy(fresh + header->length, text, static_cast<size_t>(count));
  string_block::Release(chars_);
  chars_ = fresh;
}

SharedString& SharedString::operator+=(const char* text) {
  if (IsRealText(text)) Append(text, MeasureText(text));
  return *this;
}

SharedString& SharedString::operator+=(char c) {
  Append(&c, 1);
  return *this;
}

SharedString& SharedString::operator+=(const SharedString& other) {
  Append(other.chars_, other.Length());
  return *this;
}

SharedString SharedString::Concatenate(const char* left, int leftLength, const char* right,
                                       int rightLength) {
  SharedString result;
  long long total = static_cast<long long>(leftLength) + rightLength;
  if (total == 0) return result;
  result.chars_ = string_block::Allocate(total);
  memcpy(result.chars_, left, static_cast<size_t>(leftLength));
  memcpy(result.chars_ + leftLength, right, static_cast<size_t>(rightLength));
  return result;
}

SharedString operator+(const SharedString& s, const char* text) {
  const char* right = text != nullptr && reinterpret_cast<uintptr_t>(text) >= 65536 ? text : "";
  return SharedString::Concatenate(s.Text(), s.Length(), right, static_cast<int>(strlen(right)));
}

SharedString operator+(const SharedString& s, char c) {
  return SharedString::Concatenate(s.Text(), s.Length(), &c, 1);
}

SharedString operator+(char c, const SharedString& s) {
  return SharedString::Concatenate(&c, 1, s.Text(), s.Length());
}

SharedString SharedString::Middle(int first, int count) const {
  int length = Length();
  if (first < 0) first = 0;
  if (count < 0) count = 0;
  if (first > length) {
    count = 0;
  } else if (count > length - first) {
    count = length - first;
  }
  if (first == 0 && count == length) return *this;  // shares the block
  SharedString result;
  if (count > 0) result.chars_ = string_block::Copy(chars_ + first, count, count);
  return result;
}

char* SharedString::GetBuffer(int minimum) {
  if (minimum < 0) minimum = 0;
  StringHeader* header = HeaderOf(chars_);
  // The empty block is never handed out for writing.
  if (header->referenceCount == 1 && header->capacity >= minimum) {
    return chars_;
  }
  int capacity = minimum > header->length ? minimum : header->length;
  char* fresh = string_block::Copy(chars_, header->length, capacity);
  string_block::Release(chars_);
  chars_ = fresh;
  return chars_;
}

void SharedString::ReleaseBuffer(int newLength) {
  MakePrivate();
  StringHeader* header = HeaderOf(chars_);
  if (header->referenceCount < 0) return;  // still the empty block: nothing was written
  // The buffer holds capacity + 1 bytes: never measure or cut beyond them.
  if (newLength < 0) {
    const void* nul = memchr(chars_, 0, static_cast<size_t>(header->capacity));
    newLength = nul != nullptr ? static_cast<int>(static_cast<const char*>(nul) - chars_)
                               : header->capacity;
  } else if (newLength > header->capacity) {
    newLength = header->capacity;
  }
  header->length = newLength;
  chars_[newLength] = '\0';
}

void SharedString::Reserve(int minimum) {
  const StringHeader* header = HeaderOf(chars_);
  if (header->referenceCount == 1 && header->capacity >= minimum) return;
  long long grown = header->capacity + header->capacity / 2LL;
  if (grown > INT_MAX / 2) grown = INT_MAX / 2;  // the block's own limit decides beyond
  int length = header->length;
  GetBuffer(minimum > grown ? minimum : static_cast<int>(grown));
  ReleaseBuffer(length);
}

char* SharedString::GetBufferOfLength(int n) {
  if (n < 0) n = 0;
  char* buffer = GetBuffer(n);
  HeaderOf(chars_)->length = n;
  chars_[n] = '\0';
  return buffer;
}
