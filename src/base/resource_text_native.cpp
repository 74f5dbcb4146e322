// ResourceText in the native build: the same texts as the string table,
// compiled in. A text is copied into a block of its own, as on Windows.
#include <stdlib.h>
#include <string.h>

#include "base/messages.h"

namespace {

struct TableText {
  unsigned id;
  const char* text;
};

const TableText kTable[] = {
#define MESSAGE(id, text) {id, text},
#include "base/message_table.def"
#undef MESSAGE
};

}  // namespace

bool ResourceText::Load() {
  for (const TableText& entry : kTable) {
    if (entry.id != id_) continue;
    size_t length = strlen(entry.text);
    // Plain malloc: a failure means an absent text, never the fatal exit,
    // because FatalOutOfMemory itself loads a text.
    char* block = static_cast<char*>(malloc(length + 1));
    if (block == nullptr) return false;
    memcpy(block, entry.text, length + 1);
    text_ = block;
    length_ = static_cast<int>(length);
    return true;
  }
  return false;
}

ResourceText::~ResourceText() {
  free(text_);
  text_ = nullptr;
}
