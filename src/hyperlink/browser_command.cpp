#include "hyperlink/browser_command.h"

#include <string.h>

#include "base/compare_no_case.h"
#include "base/platform.h"

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
    bool doubleByte =
        platform::IsLeadByte(static_cast<unsigned char>(chars[i])) && chars[i + 1] != '\0';
    i += doubleByte ? 2 : 1;
  }
  text.ReleaseBuffer(length);
  return removed;
}

bool BuildBrowserCommand(const char* registeredCommand, const char* address, bool ieInstalled,
                         SharedString* commandLine) {
  SharedString command(registeredCommand);
  const char* placeholder = strstr(command, "\"%1\"");
  if (placeholder == nullptr) placeholder = strstr(command, "%1");
  if (placeholder != nullptr)
    command = command.Middle(0, static_cast<int>(placeholder - command.Text()));
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
