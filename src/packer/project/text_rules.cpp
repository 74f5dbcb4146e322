#include "packer/project/text_rules.h"

#include <cstring>
#include <limits>

#include "base/path_rules.h"
#include "packer/project/destinations.h"

namespace packer {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The last character of a non-empty text when it is a single byte, else 0.
char LastSingleByte(const std::string& text, int codePage) {
  char last = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = CharacterLength(text, i, codePage);
    last = length == 1 ? text[i] : 0;
    i += length;
  }
  return last;
}

// "NUL", "com1.txt", "Lpt9.tar.gz", "aux .x": Windows opens the device, whatever
// the extension (and blanks before it). The device's name, for the message.
std::optional<std::string> DeviceName(const std::string& name) {
  if (!IsDeviceName(name.c_str(), static_cast<int>(name.size()))) return std::nullopt;
  std::string device = name.substr(0, name.find_first_of(". "));
  for (char& c : device) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  return device;
}

// The rules shared by file names and folder parts; `kind` is "file name" or
// "folder name".
Refusal CheckName(const std::string& name, int codePage, const char* kind, bool folderHint) {
  if (name.empty()) return "is empty";
  if (name == "." || name == "..") return "is \"" + name + "\", not a " + kind;
  for (std::size_t i = 0; i < name.size();) {
    std::size_t length = CharacterLength(name, i, codePage);
    if (length == 1) {
      char c = name[i];
      if (IsSeparator(c)) {
        if (folderHint) return std::string("contains \"") + c + "\"; put folders in \"subfolder\"";
        return std::string("contains \"") + c + "\", which Windows does not allow in a " + kind;
      }
      if (static_cast<unsigned char>(c) < 0x20) return "contains a control character";
      if (IsForbiddenInName(static_cast<unsigned char>(c)))
        return std::string("contains \"") + c + "\", which Windows does not allow in a " + kind;
    }
    i += length;
  }
  char last = LastSingleByte(name, codePage);
  if (last == ' ' || last == '.') return "ends in a blank or a dot, which Windows drops";
  if (auto device = DeviceName(name))
    return "is the device name " + *device + ", which Windows reserves (with any extension)";
  if (name.size() > 255) return "is longer than 255 bytes";
  return std::nullopt;
}

}  // namespace

Refusal CheckFileName(const std::string& name, int codePage) {
  return CheckName(name, codePage, "file name", true);
}

Refusal CheckApplicationFolder(const std::string& name, int codePage) {
  if (auto refusal = CheckName(name, codePage, "folder name", false))
    return *refusal + "; the application is installed into the folder <Program Files>\\" + name;
  return std::nullopt;
}

bool ContainsCharacter(const std::string& text, const char* characters, int codePage, char* found) {
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = CharacterLength(text, i, codePage);
    if (length == 1 && text[i] != '\0' && std::strchr(characters, text[i]) != nullptr) {
      if (found) *found = text[i];
      return true;
    }
    i += length;
  }
  return false;
}

std::string FoldCase(const std::string& text, int codePage) {
  std::string out = text;
  for (std::size_t i = 0; i < out.size();) {
    std::size_t length = CharacterLength(out, i, codePage);
    if (length == 1 && out[i] >= 'A' && out[i] <= 'Z')
      out[i] = static_cast<char>(out[i] - 'A' + 'a');
    i += length;
  }
  return out;
}

SubDirectoryResult NormaliseSubDirectory(const std::string& text, int codePage) {
  SubDirectoryResult result;
  if (text.empty()) return result;
  if (IsSeparator(text[0])) {
    result.refusal =
        "starts with \"" + text.substr(0, 1) + "\"; it is a folder below the destination";
    return result;
  }
  if (CharacterLength(text, 0, codePage) == 1 && text.size() >= 2 && text[1] == ':') {
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
    if (auto refusal = CheckName(part, codePage, "folder name", false)) {
      result.refusal = "part \"" + part + "\" " + *refusal;
      return false;
    }
    result.normalised += part + "\\";
    part.clear();
    return true;
  };
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = CharacterLength(text, i, codePage);
    if (length == 1 && IsSeparator(text[i])) {
      if (!finishPart(false)) return result;
    } else {
      part.append(text, i, length);
    }
    i += length;
  }
  finishPart(true);
  if (!result.refusal && result.normalised.size() > 240)
    result.refusal = "is longer than 240 bytes; with a file name it would not fit a Windows path";
  return result;
}

Refusal CheckRegistryKeyPath(const std::string& path, int codePage) {
  if (path.empty()) return "is empty";
  for (char c : path) {
    if (c == '\0') return "contains a NUL character";
  }
  if (path.front() == '\\') return "starts with \"\\\"; it is a path below the root";
  if (LastSingleByte(path, codePage) == '\\') return "ends with \"\\\"";
  bool previousSeparator = false;
  for (std::size_t i = 0; i < path.size();) {
    std::size_t length = CharacterLength(path, i, codePage);
    bool separator = length == 1 && path[i] == '\\';
    if (separator && previousSeparator) return "has an empty part (\"\\\\\")";
    if (length == 1 && path[i] == '/') return "contains \"/\"; registry paths use \"\\\"";
    previousSeparator = separator;
    i += length;
  }
  if (path.size() > 255) return "is longer than 255 bytes";
  return std::nullopt;
}

Refusal CheckRegistryValueName(const std::string& name, int codePage) {
  if (name.find('\0') != std::string::npos) return "contains a NUL character";
  if (ContainsCharacter(name, "=", codePage))
    return "contains \"=\"; the setup program would split the name there";
  return std::nullopt;
}

std::string StandardBase(std::uint32_t destination, const std::string& appName,
                         InstallScope scope) {
  if (destination >= layout::kDestinationTypeCount) return "";
  std::string folder = kDestinations[destination].standardFolder;
  if (destination != layout::kDestinationApplication) return folder;
  if (scope == InstallScope::kUser)
    folder = "C:\\Users\\TwentyLetterUserName\\AppData\\Local\\Programs\\";
  return folder + appName + "\\";
}

Refusal CheckInstalledPathLength(std::uint32_t destination, const std::string& appName,
                                 const std::string& subDirectory, const std::string& fileName,
                                 InstallScope scope) {
  std::string folder = StandardBase(destination, appName, scope) + subDirectory;
  std::string path = folder + fileName;
  if (path.size() > kMostPathLength)
    return "installs as \"" + path + "\" on a standard system, " + std::to_string(path.size()) +
           " characters; Windows allows " + std::to_string(kMostPathLength);
  folder.pop_back();  // the final "\\"
  if (folder.size() > kMostFolderLength)
    return "needs the folder \"" + folder + "\" on a standard system, " +
           std::to_string(folder.size()) + " characters; Windows creates folders of at most " +
           std::to_string(kMostFolderLength);
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

}  // namespace packer
