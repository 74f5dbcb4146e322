// What the uninstaller did not remove, or removes only at the next start of
// Windows: one line each, for the closing message. An uninstall that leaves
// nothing ends with exit code 0.
#ifndef VANTOREL_UNINSTALLER_LEFT_ITEMS_H
#define VANTOREL_UNINSTALLER_LEFT_ITEMS_H

#include "base/shared_string.h"

class LeftItems {
 public:
  // A line: text `id` (a "%s" text) filled with `item`.
  void Add(unsigned id, const char* item);
  bool IsEmpty() const { return count_ == 0; }
  // Every line says that its item goes when Windows restarts.
  bool OnlyAtRestart() const { return atRestart_ == count_; }
  // The lines for the closing message: the first few, then how many more
  // there are, so that the box still fits the screen.
  SharedString Summary() const;

 private:
  SharedString lines_;
  int count_ = 0;
  int atRestart_ = 0;
};

#endif
