// Rules for the texts a package carries that the setup program turns into
// paths and registry entries. Each returns the reason a text is refused, or
// nothing when it is fine. Texts are already in the package's code page.
#ifndef VANTOREL_PACKER_TEXT_RULES_H
#define VANTOREL_PACKER_TEXT_RULES_H

#include <cstdint>
#include <optional>
#include <string>

namespace packer {

using Refusal = std::optional<std::string>;

// A file name without directory, as Windows accepts it.
Refusal CheckFileName(const std::string& name);

// A folder below a base directory: "Docs", "Docs/Manual" or "Docs\Manual\"
// become "Docs\Manual\"; "" stays "". Refuses ".." and "." parts, drives,
// a leading separator and empty parts, so a package never writes outside its
// base directory.
struct SubDirectoryResult {
  std::string normalised;
  Refusal refusal;
};
SubDirectoryResult NormaliseSubDirectory(const std::string& text);

// A registry key path below a root: "Software\Vendor\Product".
Refusal CheckRegistryKeyPath(const std::string& path);
// A value name: the setup program splits "name=data" at the first "=".
Refusal CheckRegistryValueName(const std::string& name);
// The text a number value is stored as: a signed decimal that the setup
// program's conversion (32-bit signed, saturating in some runtimes) turns
// back into the same 32 bits. Null when the number does not fit 32 bits.
std::optional<std::string> RegistryNumberText(std::int64_t number);

// Replaces ${NAME} and ${NAME:-fallback} by the environment's values.
// Null with `missing` set when a variable without fallback is unset.
std::optional<std::string> ExpandEnvironment(const std::string& text, std::string* missing);

}  // namespace packer

#endif
