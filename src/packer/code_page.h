// Texts in a package are bytes in the Windows code page of the machines that
// will run the setup program; the project file is UTF-8. These convert
// between the two and refuse what the code page cannot hold.
#ifndef VANTOREL_PACKER_CODE_PAGE_H
#define VANTOREL_PACKER_CODE_PAGE_H

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

}  // namespace packer

#endif
