// SharedString: the program's one text type. An 8-bit, NUL-terminated string
// whose character block is shared between copies by a reference count and
// copied before the first write. Texts are in the system's 8-bit code page;
// character walks respect its double-byte lead bytes.
//
// Block layout (one allocation): StringHeader, then capacity + 1 characters.
// The shared empty block (reference count -1) is static and never counted or
// freed. An allocation failure is fatal (see FatalOutOfMemory): no operation
// ever leaves a string without a block.
#ifndef VANTOREL_BASE_SHARED_STRING_H
#define VANTOREL_BASE_SHARED_STRING_H

#include <stdarg.h>

struct StringHeader {
  int referenceCount;  // -1: the shared empty block
  int length;          // characters in use, without the terminator
  int capacity;        // characters that fit, without the terminator
};

class SharedString {
 public:
  SharedString();
  // A null pointer, an integer id in pointer form (below 65536) or an empty
  // text gives the empty string.
  SharedString(const char* text);  // NOLINT: implicit like any text value
  SharedString(const SharedString& other);
  ~SharedString();

  SharedString& operator=(const SharedString& other);
  SharedString& operator=(const char* text);
  SharedString& operator+=(const char* text);
  SharedString& operator+=(char c);
  SharedString& operator+=(const SharedString& other);

  const char* Text() const { return chars_; }
  operator const char*() const { return chars_; }  // NOLINT
  int Length() const;
  bool IsEmpty() const { return Length() == 0; }

  // Replaces every occurrence of `from` by `to` (a null `to` counts as
  // empty); returns the number of replacements.
  int ReplaceAll(const char* from, const char* to);
  SharedString Middle(int first, int count) const;

  // Lets a Windows function write into the string: at least minimum + 1
  // writable bytes holding the current text; end with ReleaseBuffer.
  char* GetBuffer(int minimum);
  // newLength -1: measure up to the first NUL.
  void ReleaseBuffer(int newLength = -1);
  // Writable pointer to n + 1 bytes; the length is n at once.
  char* GetBufferOfLength(int n);

  // Room for at least `minimum` characters, so that appends up to there
  // write in place. Grows by at least half again, so a string built by
  // many small appends costs linear time (an append alone allocates
  // exactly what it needs).
  void Reserve(int minimum);

  // Back to the shared empty block.
  void Empty();

  // printf-style formatting into this string, replacing its contents.
  friend void FormatString(SharedString& target, const char* format, ...);
  friend void FormatStringV(SharedString& target, const char* format, va_list args);

 private:
  friend SharedString operator+(const SharedString& s, const char* text);
  friend SharedString operator+(const SharedString& s, char c);
  friend SharedString operator+(char c, const SharedString& s);

  // Gives this string a block of its own before a write (copy on write).
  void MakePrivate();
  void AssignText(const char* text, int length);
  void Append(const char* text, int count);
  static SharedString Concatenate(const char* left, int leftLength, const char* right,
                                  int rightLength);

  char* chars_;
};

SharedString operator+(const SharedString& s, const char* text);
SharedString operator+(const SharedString& s, char c);
SharedString operator+(char c, const SharedString& s);

void FormatString(SharedString& target, const char* format, ...);
void FormatStringV(SharedString& target, const char* format, va_list args);

#endif
