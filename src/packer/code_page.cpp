#include "packer/code_page.h"

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

}  // namespace packer
