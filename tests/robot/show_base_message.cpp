// Shows one of base's message boxes through the real handler, as the setup
// program does, so that tests can check what the user sees.
//   show_base_message error CAPTION ID [ARGUMENT]   ShowError; exits with 0
//   show_base_message question CAPTION ID           AskQuestion; exits with
//                                                   21 for true, 20 for false
//   show_base_message warning CAPTION TEXT          ShowWarning; exits with 0
#include <stdlib.h>
#include <string.h>

#include "base/messages.h"

enum { kAnsweredFalse = 20, kAnsweredTrue = 21, kUsage = 100 };

int main(int argc, char** argv) {
  if (argc < 4) return kUsage;
  const char* mode = argv[1];
  const char* caption = argv[2];
  if (strcmp(mode, "warning") == 0) {
    ShowWarning(caption, argv[3]);
    return 0;
  }
  unsigned id = static_cast<unsigned>(strtoul(argv[3], nullptr, 10));
  if (strcmp(mode, "error") == 0) {
    ShowError(nullptr, caption, id, argc > 4 ? argv[4] : nullptr);
    return 0;
  }
  if (strcmp(mode, "question") == 0) {
    return AskQuestion(nullptr, caption, id) ? kAnsweredTrue : kAnsweredFalse;
  }
  return kUsage;
}
