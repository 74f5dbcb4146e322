#include "packer/project/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace packer {
namespace {

// One conversion with glibc's iconv, which knows the Windows code pages as
// "CP<number>". Stops at the first byte it cannot convert unless `lenient`,
// which then writes "?" and goes on.
std::optional<std::string> Convert(const std::string& text, const std::string& from,
                                   const std::string& to, bool lenient) {
  iconv_t converter = iconv_open(to.c_str(), from.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  std::vector<char> chunk(256);
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  bool failed = false;
  while (inLeft > 0) {
    char* next = chunk.data();
    size_t outLeft = chunk.size();
    size_t done = iconv(converter, &in, &inLeft, &next, &outLeft);
    out.append(chunk.data(), next);
    if (done != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    if (!lenient) {
      failed = true;
      break;
    }
    out += '?';  // EILSEQ or a cut multi-byte sequence: skip one byte
    ++in;
    --inLeft;
  }
  iconv_close(converter);
  if (failed) return std::nullopt;
  return out;
}

std::string CodePageName(int codePage) { return "CP" + std::to_string(codePage); }

}  // namespace

std::optional<std::string> Utf8ToCodePage(const std::string& utf8, int codePage) {
  return Convert(utf8, "UTF-8", CodePageName(codePage), false);
}

std::string CodePageToUtf8(const std::string& text, int codePage) {
  auto converted = Convert(text, CodePageName(codePage), "UTF-8", true);
  return converted ? *converted : text;
}

bool IsKnownCodePage(int codePage) {
  iconv_t converter = iconv_open(CodePageName(codePage).c_str(), "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(converter);
  return true;
}

bool IsWindowsAnsiCodePage(int codePage) {
  bool ansi = codePage == 874 || codePage == 932 || codePage == 936 || codePage == 949 ||
              codePage == 950 || (codePage >= 1250 && codePage <= 1258);
  return ansi && IsKnownCodePage(codePage);
}

bool IsLeadByte(int codePage, unsigned char c) {
  switch (codePage) {
    case 932:
      return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    case 936:
    case 949:
    case 950:
      return c >= 0x81 && c <= 0xFE;
    default:
      return false;
  }
}

std::size_t CharacterLength(const std::string& text, std::size_t i, int codePage) {
  return IsLeadByte(codePage, static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

}  // namespace packer
