// The destination page's rule for a typed folder, apart from the dialog so
// that it is also tested natively.
#ifndef VANTOREL_UI_DESTINATION_TEXT_H
#define VANTOREL_UI_DESTINATION_TEXT_H

#include "base/shared_string.h"

// Removes one "\" from the end of `folder`, when its last character is one
// ("C:\App\" becomes "C:\App", "C:\App\\" keeps one). In a double-byte
// code page a "\" byte that ends a double-byte character stays.
void RemoveTrailingBackslash(SharedString& folder);

#endif
