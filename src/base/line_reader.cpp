#include "base/line_reader.h"

#include <string.h>

namespace {

const int kMaxCountDigits = 9;

}  // namespace

bool LineReader::Next(SharedString& line, int maxLength) {
  ++number_;
  size_t end = position_;
  while (end < size_ && text_[end] != '\n') {
    if (static_cast<unsigned char>(text_[end]) < 0x20) return false;
    ++end;
  }
  if (end == size_ || end - position_ > static_cast<size_t>(maxLength)) return false;
  line.Empty();
  memcpy(line.GetBufferOfLength(static_cast<int>(end - position_)), text_ + position_,
         end - position_);
  position_ = end + 1;
  return true;
}

bool ParseCount(const char* text, int length, int& count) {
  if (length == 0 || length > kMaxCountDigits || (text[0] == '0' && length > 1)) return false;
  count = 0;
  for (int i = 0; i < length; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    count = count * 10 + (text[i] - '0');
  }
  return true;
}
