// winget's rules (its manifest schema 1.10.0) on the texts vtpack writes
// into a winget manifest: the build checks those the project gives for it
// alone, vtpack manifest the others. Each returns why a text breaks the
// rule, or nothing. Lengths count characters (Unicode code points) of the
// UTF-8 text.
#ifndef VANTOREL_PACKER_PROJECT_WINGET_RULES_H
#define VANTOREL_PACKER_PROJECT_WINGET_RULES_H

#include <cstddef>
#include <optional>
#include <string>

namespace packer {

// PackageIdentifier: 2 to 8 parts joined by ".", each 1 to 32 characters
// without blanks or \ / : * ? " < > |, 128 characters in all.
std::optional<std::string> CheckPackageIdentifier(const std::string& id);

// PackageLocale: a language tag ("en-US", "de", "pt-BR").
std::optional<std::string> CheckPackageLocale(const std::string& locale);

// PackageVersion: no \ / : * ? " < > | or control characters, at most 128.
std::optional<std::string> CheckPackageVersion(const std::string& version);

// A text of `least` to `most` characters.
std::optional<std::string> CheckTextLength(const std::string& text, std::size_t least,
                                           std::size_t most);

}  // namespace packer

#endif
