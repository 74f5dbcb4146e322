// Reading the strict line-based files that setup writes for the uninstaller
// ("Uninst.log" and the install record): every line ended by "\n" alone,
// no control character in a line, no line longer than a path.
#ifndef VANTOREL_BASE_LINE_READER_H
#define VANTOREL_BASE_LINE_READER_H

#include <stddef.h>

#include "base/path_rules.h"
#include "base/shared_string.h"

// The lines one after another, counted from 1.
class LineReader {
 public:
  LineReader(const char* text, size_t size) : text_(text), size_(size) {}

  int Number() const { return number_; }
  bool AtEnd() const { return position_ == size_; }

  // The next line without its "\n"; false when no whole line is left, the
  // line holds a control character (CR, NUL, ...) or is longer than
  // `maxLength` bytes.
  bool Next(SharedString& line, int maxLength = kMaxLineLength);

  // A full path fits.
  static const int kMaxLineLength = kMaxPathLength;

 private:
  const char* text_;
  size_t size_;
  size_t position_ = 0;
  int number_ = 0;
};

// A count as setup writes it: decimal, without sign, blank or leading zero,
// below a billion.
bool ParseCount(const char* text, int length, int& count);

#endif
