#include "packer/text_rules.h"

#include <cstdlib>
#include <limits>

namespace packer {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

Refusal CheckFileName(const std::string& name) {
  if (name.empty()) return "is empty";
  if (name == "." || name == "..") return "is \"" + name + "\", not a file name";
  for (char c : name) {
    if (c == '\\' || c == '/') return std::string("contains \"") + c + "\"; put folders in \"subfolder\"";
    if (static_cast<unsigned char>(c) < 0x20) return "contains a control character";
    if (std::string(":*?\"<>|").find(c) != std::string::npos)
      return std::string("contains \"") + c + "\", which Windows does not allow in file names";
  }
  if (name.back() == ' ' || name.back() == '.') return "ends in a blank or a dot, which Windows drops";
  if (name.size() > 255) return "is longer than 255 bytes";
  return std::nullopt;
}

SubDirectoryResult NormaliseSubDirectory(const std::string& text) {
  SubDirectoryResult result;
  if (text.empty()) return result;
  if (IsSeparator(text[0])) {
    result.refusal = "starts with \"" + text.substr(0, 1) + "\"; it is a folder below the destination";
    return result;
  }
  if (text.size() >= 2 && text[1] == ':') {
    result.refusal = "names a drive; it is a folder below the destination";
    return result;
  }
  std::string part;
  auto finishPart = [&](bool last) -> bool {
    if (part.empty()) {
      if (last) return true;  // one trailing separator
      result.refusal = "has an empty part (two separators in a row)";
      return false;
    }
    if (part == ".." || part == ".") {
      result.refusal = "has a \"" + part + "\" part; it must stay below the destination";
      return false;
    }
    if (auto refusal = CheckFileName(part)) {
      result.refusal = "part \"" + part + "\" " + *refusal;
      return false;
    }
    result.normalised += part + "\\";
    part.clear();
    return true;
  };
  for (char c : text) {
    if (IsSeparator(c)) {
      if (!finishPart(false)) return result;
    } else {
      part += c;
    }
  }
  finishPart(true);
  if (!result.refusal && result.normalised.size() > 240)
    result.refusal = "is longer than 240 bytes; with a file name it would not fit a Windows path";
  return result;
}

Refusal CheckRegistryKeyPath(const std::string& path) {
  if (path.empty()) return "is empty";
  if (path.front() == '\\') return "starts with \"\\\"; it is a path below the root";
  if (path.back() == '\\') return "ends with \"\\\"";
  if (path.find("\\\\") != std::string::npos) return "has an empty part (\"\\\\\")";
  if (path.find('/') != std::string::npos) return "contains \"/\"; registry paths use \"\\\"";
  for (char c : path) {
    if (c == '\0') return "contains a NUL character";
  }
  if (path.size() > 255) return "is longer than 255 bytes";
  return std::nullopt;
}

Refusal CheckRegistryValueName(const std::string& name) {
  if (name.find('=') != std::string::npos)
    return "contains \"=\"; the setup program would split the name there";
  if (name.find('\0') != std::string::npos) return "contains a NUL character";
  return std::nullopt;
}

std::optional<std::string> RegistryNumberText(std::int64_t number) {
  if (number < std::numeric_limits<std::int32_t>::min() ||
      number > std::numeric_limits<std::uint32_t>::max())
    return std::nullopt;
  // 4294967295 is written as -1: the same 32 bits, and no conversion saturates.
  auto bits = static_cast<std::uint32_t>(number);
  return std::to_string(static_cast<std::int32_t>(bits));
}

std::optional<std::string> ExpandEnvironment(const std::string& text, std::string* missing) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t open = text.find("${", i);
    std::size_t close = open == std::string::npos ? open : text.find('}', open);
    if (close == std::string::npos) {
      out += text.substr(i);
      break;
    }
    out += text.substr(i, open - i);
    std::string reference = text.substr(open + 2, close - open - 2);
    std::string name = reference;
    std::optional<std::string> fallback;
    std::size_t dash = reference.find(":-");
    if (dash != std::string::npos) {
      name = reference.substr(0, dash);
      fallback = reference.substr(dash + 2);
    }
    const char* value = std::getenv(name.c_str());
    if (value != nullptr && (*value != '\0' || !fallback)) {
      out += value;
    } else if (fallback) {
      out += *fallback;
    } else {
      if (missing) *missing = name;
      return std::nullopt;
    }
    i = close + 1;
  }
  return out;
}

}  // namespace packer
