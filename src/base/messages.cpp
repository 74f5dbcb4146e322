// The one way every subsystem shows a message: a numbered text, formatted with its
// argument, in an error or question box through the replaceable handler.
#include "base/messages.h"

#include <stdlib.h>
#include <string.h>

#include "base/platform.h"
#include "base/shared_string.h"
#include "base/system_message_box.h"

const char kProductCaption[] = "Vantorel";

namespace {

MessageBoxHandler handler = nullptr;  // null: the system's message box

// A copy, so the caption survives its owner; FatalOutOfMemory must not
// allocate to show it.
char fatalCaption[260] = "Vantorel";

// The message text of `id`: its "%s" filled with the argument (an empty one
// when none was given), other texts as they are. An absent text is empty.
SharedString MessageText(unsigned id, const char* argument) {
  SharedString message;
  ResourceText resource(id);
  const char* text = resource.Text();
  if (text != nullptr && strstr(text, "%s") != nullptr) {
    FormatString(message, text, argument != nullptr ? argument : "");
  } else {
    message = text;
  }
  return message;  // the resource block is freed before the box is shown
}

}  // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler newHandler) {
  MessageBoxHandler previous = handler;
  handler = newHandler;
  return previous;
}

int ShowMessageBox(const MessageBoxRequest& request) {
  return handler != nullptr ? handler(request) : SystemMessageBox(request);
}

void ShowError(WindowHandle owner, const char* caption, unsigned id, const char* argument) {
  SharedString message = MessageText(id, argument);
  ShowMessageBox(MessageBoxRequest{owner, id, message.Text(), caption, kBoxError});
}

bool AskQuestion(WindowHandle owner, const char* caption, unsigned id) {
  SharedString message = MessageText(id, nullptr);
  return ShowMessageBox(MessageBoxRequest{owner, id, message.Text(), caption, kBoxQuestion}) ==
         kAnswerYes;
}

void ShowWarning(const char* caption, const char* literalText) {
  ShowMessageBox(MessageBoxRequest{nullptr, 0, literalText, caption, kBoxWarning});
}

void SetFatalCaption(const char* caption) {
  if (caption == nullptr) caption = "";
  size_t length = strlen(caption);
  if (length >= sizeof fatalCaption) length = sizeof fatalCaption - 1;
  memcpy(fatalCaption, caption, length);
  fatalCaption[length] = '\0';
}

void FatalOutOfMemory() {
  // A failure while reporting (the box itself short of memory) ends at once.
  static bool reporting = false;
  if (!reporting) {
    reporting = true;
    // No SharedString here: the text is shown straight from its holder.
    ResourceText resource(IDS_OUT_OF_MEMORY);
    const char* text = resource.Text();
    ShowMessageBox(MessageBoxRequest{nullptr, IDS_OUT_OF_MEMORY,
                                     text != nullptr ? text : TEXT_OUT_OF_MEMORY, fatalCaption,
                                     kBoxError});
  }
  exit(1);
}
