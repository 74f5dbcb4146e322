// A small writer of JSON (RFC 8259) for vtpack's machine-readable output:
// objects and arrays, one member or element per line, texts in UTF-8.
#ifndef VANTOREL_PACKER_JSON_WRITER_H
#define VANTOREL_PACKER_JSON_WRITER_H

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace packer {

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  // The name of the next member of an object.
  void Key(const std::string& name);
  void String(const std::string& utf8);
  void Number(std::int64_t value);
  void Bool(bool value);
  void Null();

 private:
  void Value();  // before any value: the separator and the indent
  void Open(char bracket);
  void Close(char bracket);
  void Quote(const std::string& text);

  std::ostream& out_;
  std::vector<bool> empty_;  // per open object or array: nothing in it yet
  bool afterKey_ = false;
};

}  // namespace packer

#endif
