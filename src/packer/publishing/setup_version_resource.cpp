#include "packer/publishing/setup_version_resource.h"

#include "packer/pe/version_info.h"
#include "packer/project/code_page.h"

namespace packer {
namespace {

constexpr char kIdKey[] = "PackageIdentifier";
constexpr char kDescriptionKey[] = "Comments";
constexpr char kLicenceKey[] = "License";
constexpr char kCopyrightKey[] = "LegalCopyright";
constexpr char kLocaleKey[] = "PackageLocale";

// "1.2" is 1.2.0.0; a version that is not up to four numbers is 0.0.0.0.
FileVersion NumericVersion(const std::string& text) {
  std::uint16_t parts[4] = {};
  std::size_t count = 0, start = 0;
  for (;;) {
    const std::size_t dot = text.find('.', start);
    const std::string piece = text.substr(start, dot - start);
    if (count == 4 || piece.empty() || piece.size() > 5 ||
        piece.find_first_not_of("0123456789") != std::string::npos || std::stoul(piece) > 0xFFFF)
      return FileVersion{};
    parts[count++] = static_cast<std::uint16_t>(std::stoul(piece));
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  return FileVersion{parts[0], parts[1], parts[2], parts[3]};
}

}  // namespace

std::optional<Bytes> SetupVersionResource(const Application& app, int codePage) {
  if (!app.HasPublishingFacts()) return std::nullopt;
  const std::string name = CodePageToUtf8(app.name, codePage);
  const std::string version = CodePageToUtf8(app.version, codePage);
  VersionInfo info;
  info.fileVersion = NumericVersion(version);
  info.codePage = static_cast<std::uint16_t>(codePage);
  const std::pair<const char*, std::string> strings[] = {
      {"CompanyName", CodePageToUtf8(app.publisher, codePage)},
      {"FileDescription", name + " Setup"},
      {"FileVersion", version},
      {"ProductName", name},
      {"ProductVersion", version},
      {kCopyrightKey, app.copyright},
      {kDescriptionKey, app.description},
      {kIdKey, app.id},
      {kLicenceKey, app.licenceName},
      {kLocaleKey, app.locale}};
  for (const auto& [key, value] : strings)
    if (!value.empty()) info.strings.emplace_back(key, value);
  return WriteVersionInfo(info);
}

PublishingTexts ReadPublishingTexts(PackageFile& setupFile) {
  PublishingTexts texts;
  auto data = ReadVersionResource(setupFile);
  auto info = data ? ReadVersionInfo(*data) : std::nullopt;
  if (!info) return texts;
  texts.id = info->Find(kIdKey);
  texts.description = info->Find(kDescriptionKey);
  texts.licenceName = info->Find(kLicenceKey);
  texts.copyright = info->Find(kCopyrightKey);
  texts.locale = info->Find(kLocaleKey);
  texts.codePage = info->codePage;
  return texts;
}

}  // namespace packer
