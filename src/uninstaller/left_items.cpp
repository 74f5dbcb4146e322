#include "uninstaller/left_items.h"

#include "uninstaller/uninstaller_text.h"

namespace {

const int kLinesShown = 10;
// Long paths wrap: a blank line tells the items apart.
const char kBetweenLines[] = "\n\n";

}  // namespace

void LeftItems::Add(unsigned id, const char* item) {
  ++count_;
  if (id == IDS_UN_LEFT_AT_RESTART) ++atRestart_;
  if (count_ > kLinesShown) return;
  if (!lines_.IsEmpty()) lines_ += kBetweenLines;
  lines_ += UninstallerText(id, item);
}

SharedString LeftItems::Summary() const {
  if (count_ <= kLinesShown) return lines_;
  return lines_ + kBetweenLines + UninstallerText(IDS_UN_LEFT_MORE, count_ - kLinesShown).Text();
}
