// ResourceText: the parts common to both builds. Loading and freeing the text
// block are in resource_text_windows.cpp and resource_text_native.cpp.
#include "base/messages.h"

ResourceText::ResourceText(unsigned id) : id_(id), text_(nullptr), length_(0) {}

const char* ResourceText::Text() {
  if (text_ == nullptr) Load();
  return text_;
}

int ResourceText::Length() {
  if (text_ == nullptr) Load();
  return length_;
}
