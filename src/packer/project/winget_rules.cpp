#include "packer/project/winget_rules.h"

#include <vector>

namespace packer {
namespace {

// Code points of a UTF-8 text: the bytes that do not continue a character.
std::size_t Characters(const std::string& text) {
  std::size_t count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;
  return count;
}

// A byte that no part of an identifier may hold.
bool RefusedInIdentifier(unsigned char c) {
  return c <= 0x20 || std::string(".\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos;
}

bool IsLetters(const std::string& text, std::size_t least, std::size_t most) {
  if (text.size() < least || text.size() > most) return false;
  for (unsigned char c : text)
    if (!((c | 0x20) >= 'a' && (c | 0x20) <= 'z')) return false;
  return true;
}

// Splits at every "-".
std::vector<std::string> Subtags(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t dash; (dash = text.find('-', start)) != std::string::npos; start = dash + 1)
    parts.push_back(text.substr(start, dash - start));
  parts.push_back(text.substr(start));
  return parts;
}

bool HasControlCharacter(const std::string& text) {
  for (unsigned char c : text)
    if (c < 0x20) return true;
  return false;
}

}  // namespace

std::optional<std::string> CheckPackageIdentifier(const std::string& id) {
  std::size_t parts = 1, partLength = 0;
  bool sound = Characters(id) <= 128;
  for (std::size_t i = 0; sound && i <= id.size(); ++i) {
    const unsigned char c = i < id.size() ? static_cast<unsigned char>(id[i]) : '.';
    if (c == '.') {
      sound = partLength > 0 && partLength <= 32;
      parts += i < id.size();
      partLength = 0;
    } else {
      sound = !RefusedInIdentifier(c);
      partLength += (c & 0xC0) != 0x80;
    }
  }
  if (!sound || parts < 2 || parts > 8)
    return "\"" + id +
           "\" is not a winget identifier: 2 to 8 parts joined by \".\" (Publisher.App), each 1 "
           "to 32 characters without blanks or \\ / : * ? \" < > |, 128 in all";
  return std::nullopt;
}

std::optional<std::string> CheckPackageLocale(const std::string& locale) {
  // ([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*
  const std::vector<std::string> tags = Subtags(locale);
  const bool prefixed =
      tags.size() > 1 && (tags[0] == "i" || tags[0] == "I" || tags[0] == "x" || tags[0] == "X");
  bool sound = locale.size() <= 20 &&
               (prefixed ? IsLetters(tags[1], 1, (tags[0] == "i" || tags[0] == "I") ? 20 : 8)
                         : IsLetters(tags[0], 2, 3));
  for (std::size_t i = prefixed ? 2 : 1; sound && i < tags.size(); ++i)
    sound = IsLetters(tags[i], 1, 8);
  if (!sound) return "\"" + locale + "\" is not a language tag such as en-US, de or pt-BR";
  return std::nullopt;
}

std::optional<std::string> CheckPackageVersion(const std::string& version) {
  if (version.empty()) return "is empty; winget needs the version";
  if (version.find_first_of("\\/:*?\"<>|") != std::string::npos || HasControlCharacter(version) ||
      Characters(version) > 128)
    return "\"" + version +
           "\" is no winget version: no \\ / : * ? \" < > |, 128 characters at most";
  return std::nullopt;
}

std::optional<std::string> CheckTextLength(const std::string& text, std::size_t least,
                                           std::size_t most) {
  const std::size_t count = Characters(text);
  if (count < least || count > most)
    return "is " + std::to_string(count) + " characters long; winget takes " +
           std::to_string(least) + " to " + std::to_string(most);
  return std::nullopt;
}

}  // namespace packer
