// Message boxes of code that a test runs in its own process: while a
// BoxRecorder lives, every box base would show is recorded instead, its
// texts copied (the request's die with the box), and answered.
#ifndef VANTOREL_TESTS_SUPPORT_BOX_RECORDER_H
#define VANTOREL_TESTS_SUPPORT_BOX_RECORDER_H

#include <string>
#include <vector>

#include "base/messages.h"

namespace support {

struct RecordedBox {
  WindowHandle owner;
  unsigned id;  // 0: a text of its own, not of the string table
  std::string text;
  std::string caption;
  unsigned style;
};

class BoxRecorder {
 public:
  explicit BoxRecorder(int answer = kAnswerOk);
  ~BoxRecorder();
  BoxRecorder(const BoxRecorder&) = delete;
  BoxRecorder& operator=(const BoxRecorder&) = delete;

  const std::vector<RecordedBox>& Boxes() const { return boxes_; }
  std::vector<unsigned> Ids() const;
  std::vector<std::string> Texts() const;
  void Clear() { boxes_.clear(); }
  // What the boxes from now on are answered.
  void Answer(int answer) { answer_ = answer; }

 private:
  static int Record(const MessageBoxRequest& request);
  MessageBoxHandler previous_;
  BoxRecorder* outer_;
  std::vector<RecordedBox> boxes_;
  int answer_;
};

}  // namespace support

#endif
