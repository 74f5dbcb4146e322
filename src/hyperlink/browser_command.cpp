#include "hyperlink/browser_command.h"

#include <string.h>

#include "base/platform.h"

namespace {

// The `length` bytes at `text` equal `word`, single-byte characters
// compared by their upper-case forms, double-byte ones byte for byte. A
// double-byte character that `word` would end in the middle of never
// matches. `text` holds at least `length` bytes.
bool MatchesNoCase(const char* text, const char* word, int length) {
  int k = 0;
  while (k < length) {
    unsigned char c = static_cast<unsigned char>(text[k]);
    if (platform::IsLeadByte(c) && text[k + 1] != '\0') {
      if (k + 1 >= length || text[k] != word[k] || text[k + 1] != word[k + 1]) return false;
      k += 2;
    } else {
      if (platform::ToUpper(c) != platform::ToUpper(static_cast<unsigned char>(word[k]))) {
        return false;
      }
      ++k;
    }
  }
  return true;
}

}  // namespace

bool RemoveAllNoCase(SharedString& text, const char* word) {
  int wordLength = static_cast<int>(strlen(word));
  if (wordLength == 0) return false;
  int length = text.Length();
  char* chars = text.GetBuffer(length);
  bool removed = false;
  int i = 0;
  while (i + wordLength <= length) {
    if (MatchesNoCase(chars + i, word, wordLength)) {
      memmove(chars + i, chars + i + wordLength, static_cast<size_t>(length - i - wordLength) + 1);
      length -= wordLength;
      removed = true;
      continue;
    }
    bool doubleByte = platform::IsLeadByte(static_cast<unsigned char>(chars[i])) &&
                      chars[i + 1] != '\0';
    i += doubleByte ? 2 : 1;
  }
  text.ReleaseBuffer(length);
  return removed;
}

bool StartsWithNoCase(const char* text, const char* prefix) {
  int length = static_cast<int>(strlen(prefix));
  return static_cast<int>(strnlen(text, static_cast<size_t>(length))) == length &&
         MatchesNoCase(text, prefix, length);
}

bool BuildBrowserCommand(const char* registeredCommand, const char* address, bool ieInstalled,
                         SharedString* commandLine) {
  SharedString command(registeredCommand);
  const char* placeholder = strstr(command, "\"%1\"");
  if (placeholder == nullptr) placeholder = strstr(command, "%1");
  if (placeholder != nullptr) command = command.Middle(0, static_cast<int>(placeholder - command.Text()));
  if (ieInstalled && strstr(command, "iexplore") != nullptr) {
    command += "-new";
    RemoveAllNoCase(command, "-nohome");
  }
  command += ' ';
  command += address;
  if (command.Length() >= kBrowserCommandSize) return false;
  *commandLine = command;
  return true;
}
