// Texts in a package are bytes in the Windows code page of the machines that
// will run the setup program; the project file is UTF-8. These convert
// between the two and refuse what the code page cannot hold.
#ifndef VANTOREL_PACKER_CODE_PAGE_H
#define VANTOREL_PACKER_CODE_PAGE_H

#include <cstddef>
#include <optional>
#include <string>

namespace packer {

constexpr int kDefaultCodePage = 1252;  // Western European (Windows)

// Null when the text is not valid UTF-8, holds a character the code page
// lacks, or the code page is unknown to the system's converter.
std::optional<std::string> Utf8ToCodePage(const std::string& utf8, int codePage);
// For display; bytes the code page does not define come out as "?".
std::string CodePageToUtf8(const std::string& text, int codePage);
bool IsKnownCodePage(int codePage);

// The Windows ANSI code pages (874, 932, 936, 949, 950, 1250-1258) that the
// system's converter knows: the only ones a package may use. Others (EBCDIC
// 500, OEM 437, UTF-8 65001...) are never a Windows machine's ANSI code page,
// so the setup program would read their bytes as garbled names.
bool IsWindowsAnsiCodePage(int codePage);

// True for a byte that starts a two-byte character in the code page (932,
// 936, 949 and 950); its trail byte may be "\\" (0x5C), "|" (0x7C) or a
// letter, so every rule on texts walks characters, not bytes.
bool IsLeadByte(int codePage, unsigned char c);
// The length in bytes of the character starting at text[i]: 2 for a lead
// byte followed by a trail byte, else 1.
std::size_t CharacterLength(const std::string& text, std::size_t i, int codePage);

}  // namespace packer

#endif
