#include "ui/destination_text.h"

#include "base/platform.h"

void RemoveTrailingBackslash(SharedString& folder) {
  const char* text = folder.Text();
  int length = folder.Length();
  int last = -1;  // where the last character starts
  for (int i = 0; i < length; ++i) {
    last = i;
    if (platform::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < length) ++i;
  }
  if (last >= 0 && last == length - 1 && text[last] == '\\') folder = folder.Middle(0, last);
}
