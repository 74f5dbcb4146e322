// Runs out of memory on purpose, so a test can watch the program end:
//   out_of_memory_helper allocate|string CAPTION|- [RECORD_FILE]
// "-" leaves the fatal caption as it starts.
// With RECORD_FILE the message box is written to that file (id, style,
// owner, caption, text, one per line) instead of being shown.
#include <limits.h>
#include <stdio.h>
#include <string.h>

#include "base/messages.h"
#include "base/platform.h"
#include "base/shared_string.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HELPER_UNDER_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(HELPER_UNDER_ASAN)
// The sanitizer would end the process itself; let malloc fail as it would.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
#endif

namespace {

const char* recordFile = nullptr;

int RecordToFile(const MessageBoxRequest& request) {
  FILE* file = fopen(recordFile, "wb");
  if (file == nullptr) return kAnswerOk;
  fprintf(file, "%u\n%u\n%s\n%s\n%s\n", request.id, request.style,
          request.owner == nullptr ? "no owner" : "owner", request.caption, request.text);
  fclose(file);
  return kAnswerOk;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  if (strcmp(argv[2], "-") != 0) SetFatalCaption(argv[2]);
  if (argc > 3) {
    recordFile = argv[3];
    SetMessageBoxHandler(RecordToFile);
  }
  if (strcmp(argv[1], "allocate") == 0) {
    // More than any address space holds.
    void* block = platform::Allocate(static_cast<size_t>(-1) / 2);
    platform::Free(block);
  } else if (strcmp(argv[1], "string") == 0) {
    SharedString s("x");
    s.GetBuffer(INT_MAX);  // more than a string block can describe
  }
  return 0;  // not reached when the allocation fails
}
