#include "box_recorder.h"

namespace support {
namespace {

// The handler is a plain function: it finds the innermost recorder here.
BoxRecorder* current = nullptr;

}  // namespace

BoxRecorder::BoxRecorder(int answer)
    : previous_(SetMessageBoxHandler(Record)), outer_(current), answer_(answer) {
  current = this;
}

BoxRecorder::~BoxRecorder() {
  current = outer_;
  SetMessageBoxHandler(previous_);
}

int BoxRecorder::Record(const MessageBoxRequest& request) {
  current->boxes_.push_back({request.owner, request.id, request.text ? request.text : "(null)",
                             request.caption ? request.caption : "(null)", request.style});
  return current->answer_;
}

std::vector<unsigned> BoxRecorder::Ids() const {
  std::vector<unsigned> ids;
  for (const RecordedBox& box : boxes_) ids.push_back(box.id);
  return ids;
}

std::vector<std::string> BoxRecorder::Texts() const {
  std::vector<std::string> texts;
  for (const RecordedBox& box : boxes_) texts.push_back(box.text);
  return texts;
}

}  // namespace support
