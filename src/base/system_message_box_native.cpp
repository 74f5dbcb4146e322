// Native builds have no user to ask: the message goes to standard error and
// the box's preselected answer is taken (No for a question, else OK).
#include "base/system_message_box.h"

#include <stdio.h>

int SystemMessageBox(const MessageBoxRequest& request) {
  fprintf(stderr, "%s: %s\n", request.caption != nullptr ? request.caption : "",
          request.text != nullptr ? request.text : "");
  return request.style == kBoxQuestion ? kAnswerNo : kAnswerOk;
}
