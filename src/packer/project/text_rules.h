// Rules for the texts a package carries that the setup program turns into
// paths and registry entries. Each returns the reason a text is refused, or
// nothing when it is fine. Texts are already in the package's code page, and
// every rule walks characters of that code page: in 932, 936, 949 and 950 the
// second byte of a character may be "\\" (0x5C) or "|" (0x7C), which is no
// separator and no forbidden character there.
#ifndef VANTOREL_PACKER_TEXT_RULES_H
#define VANTOREL_PACKER_TEXT_RULES_H

#include <cstdint>
#include <optional>
#include <string>

#include "base/path_rules.h"
#include "package/layout.h"
#include "packer/project/code_page.h"
#include "packer/project/project.h"

namespace packer {

using Refusal = std::optional<std::string>;

// A file name without directory, as Windows can create it: no \ / : * ? " < >
// | or control character, not "." or "..", no device name (CON, PRN, AUX,
// NUL, COM1-COM9, LPT1-LPT9, in any case, with or without an extension), not
// ending in a dot or blank, at most 255 bytes.
Refusal CheckFileName(const std::string& name, int codePage = kDefaultCodePage);

// The application name, which the setup program makes a folder:
// <Program Files>\<AppName>. The rules of a folder part; the message names
// the character at fault.
Refusal CheckApplicationFolder(const std::string& name, int codePage = kDefaultCodePage);

// True when a text holds one of `characters` as a character of its own (not
// as the second byte of a double-byte character); `found` gets it.
bool ContainsCharacter(const std::string& text, const char* characters, int codePage,
                       char* found = nullptr);

// Windows compares file names without regard to case: ASCII letters folded,
// the bytes of double-byte characters left alone.
std::string FoldCase(const std::string& text, int codePage = kDefaultCodePage);

// A folder below a base directory: "Docs", "Docs/Manual" or "Docs\Manual\"
// become "Docs\Manual\"; "" stays "". Refuses ".." and "." parts, drives,
// a leading separator and empty parts, so a package never writes outside its
// base directory.
struct SubDirectoryResult {
  std::string normalised;
  Refusal refusal;
};
SubDirectoryResult NormaliseSubDirectory(const std::string& text, int codePage = kDefaultCodePage);

// A registry key path below a root: "Software\Vendor\Product".
Refusal CheckRegistryKeyPath(const std::string& path, int codePage = kDefaultCodePage);
// A value name: the setup program splits "name=data" at the first "=".
Refusal CheckRegistryValueName(const std::string& name, int codePage = kDefaultCodePage);

// Windows' limit on a full path (MAX_PATH less the NUL) and on a folder that
// CreateDirectory makes (MAX_PATH less 12, less the NUL).
constexpr std::size_t kMostPathLength = kMaxPathLength;
constexpr std::size_t kMostFolderLength = kMaxPathLength - 12;
// The folder a destination type stands for on a standard Windows system, as
// the 32-bit setup program sees it on 64-bit Windows, with its final "\\":
// "C:\\Program Files (x86)\\<AppName>\\", "C:\\Windows\\System32\\", ...; a
// per-user package's application folder lies in the profile of a user
// whose name is as long as Windows allows (20 characters):
// "C:\\Users\\TwentyLetterUserName\\AppData\\Local\\Programs\\<AppName>\\".
std::string StandardBase(std::uint32_t destination, const std::string& appName,
                         InstallScope scope = InstallScope::kMachine);
// Checks base + subDirectory + fileName against Windows' limits; the
// message gives the path and its length. Lengths are bytes in the code page,
// never fewer than the characters Windows counts.
Refusal CheckInstalledPathLength(std::uint32_t destination, const std::string& appName,
                                 const std::string& subDirectory, const std::string& fileName,
                                 InstallScope scope = InstallScope::kMachine);
// The text a number value is stored as: a signed decimal that the setup
// program's conversion (32-bit signed, saturating in some runtimes) turns
// back into the same 32 bits. Null when the number does not fit 32 bits.
std::optional<std::string> RegistryNumberText(std::int64_t number);

}  // namespace packer

#endif
