#include "packer/command_line/json_writer.h"

#include <cstdio>

namespace packer {

void JsonWriter::Value() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (empty_.empty()) return;
  out_ << (empty_.back() ? "\n" : ",\n") << std::string(2 * empty_.size(), ' ');
  empty_.back() = false;
}

void JsonWriter::Open(char bracket) {
  Value();
  out_ << bracket;
  empty_.push_back(true);
}

void JsonWriter::Close(char bracket) {
  bool empty = empty_.back();
  empty_.pop_back();
  if (!empty) out_ << "\n" << std::string(2 * empty_.size(), ' ');
  out_ << bracket;
  if (empty_.empty()) out_ << "\n";
}

void JsonWriter::Key(const std::string& name) {
  Value();
  Quote(name);
  out_ << ": ";
  afterKey_ = true;
}

void JsonWriter::Quote(const std::string& text) {
  out_ << '"';
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out_ << '\\' << c;
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out_ << escape;
    } else {
      out_ << c;
    }
  }
  out_ << '"';
}

void JsonWriter::String(const std::string& utf8) {
  Value();
  Quote(utf8);
}

void JsonWriter::Number(std::int64_t value) {
  Value();
  out_ << value;
}

void JsonWriter::Bool(bool value) {
  Value();
  out_ << (value ? "true" : "false");
}

void JsonWriter::Null() {
  Value();
  out_ << "null";
}

}  // namespace packer
