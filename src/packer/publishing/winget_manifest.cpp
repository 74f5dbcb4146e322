#include "packer/publishing/winget_manifest.h"

#include "base/deployment_interface.h"
#include "packer/project/winget_rules.h"

namespace packer {
namespace {

constexpr char kDefaultLocale[] = "en-US";

// A YAML double-quoted scalar: every text that comes from the vendor is
// written so, whatever it holds ("1.0" stays a text, not a number).
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      static const char kDigits[] = "0123456789ABCDEF";
      out += "\\x";
      out += kDigits[c >> 4];
      out += kDigits[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// ^([Hh][Tt][Tt][Pp][Ss]?)://.+$, at most 2048 characters.
bool IsWebAddress(const std::string& text) {
  std::string scheme = text.substr(0, text.find("://"));
  for (char& c : scheme) c = static_cast<char>(c | 0x20);
  return (scheme == "http" || scheme == "https") && text.size() > scheme.size() + 3 &&
         text.size() <= 2048;
}

// "Publisher.Name" with what an identifier's part may not hold left out.
std::string DerivedIdentifier(const PublishedSetup& setup) {
  auto part = [](const std::string& text) {
    std::string kept;
    for (unsigned char c : text)
      if (c > 0x20 && std::string(".\\/:*?\"<>|").find(static_cast<char>(c)) == std::string::npos)
        kept += static_cast<char>(c);
    return kept;
  };
  return part(setup.publisher) + "." + part(setup.name);
}

Problem Needs(const std::string& field, const std::string& why) {
  return Problem{field, why + "; add it to the project and build again"};
}

// The facts winget requires, each checked against its rules.
Check CheckFacts(const PublishedSetup& setup, const std::string& id) {
  if (setup.publisher.empty()) return Needs("application.publisher", "winget needs the publisher");
  if (auto refusal = CheckTextLength(setup.publisher, 2, 256))
    return Problem{"application.publisher", *refusal};
  if (auto refusal = CheckTextLength(setup.name, 2, 256))
    return Problem{"application.name", *refusal};
  if (auto refusal = CheckPackageVersion(setup.version))
    return Problem{"application.version", *refusal};
  if (setup.texts.description.empty())
    return Needs("application.description", "winget needs a short description");
  if (setup.texts.licenceName.empty())
    return Needs("application.licence-name",
                 "winget needs the licence's name (MIT, Proprietary, ...)");
  if (auto refusal = CheckPackageIdentifier(id))
    return Problem{"application.id", setup.texts.id.empty()
                                         ? "none given, and the publisher and name make " + *refusal
                                         : *refusal};
  return std::nullopt;
}

std::string Head(const char* type, const PublishedSetup& setup, const std::string& id) {
  return std::string("# yaml-language-server: $schema=https://aka.ms/winget-manifest.") + type +
         "." + kWingetManifestVersion + ".schema.json\n# Written by vtpack from " + setup.fileName +
         ".\n\nPackageIdentifier: " + Quoted(id) + "\nPackageVersion: " + Quoted(setup.version) +
         "\n";
}

std::string Tail(const char* type) {
  return std::string("ManifestType: ") + type + "\nManifestVersion: " + kWingetManifestVersion +
         "\n";
}

std::string InstallerEntry(const PublishedSetup& setup, const std::string& url) {
  std::string text =
      "Installers:\n  - Architecture: " + std::string(ArchitectureName(setup.architecture)) +
      "\n    Scope: " + setup.scope + "\n    InstallerUrl: " + Quoted(url) +
      "\n    InstallerSha256: " + setup.sha256 + "\n    ElevationRequirement: " +
      (setup.scope == "user" ? "elevationProhibited" : "elevatesSelf") +
      "\n    ProductCode: " + Quoted(setup.name) +
      "\n    AppsAndFeaturesEntries:\n      - DisplayName: " + Quoted(setup.name) +
      "\n        Publisher: " + Quoted(setup.publisher) +
      "\n        DisplayVersion: " + Quoted(setup.version) +
      "\n        ProductCode: " + Quoted(setup.name) + "\n";
  return text;
}

std::string InstallerManifest(const PublishedSetup& setup, const std::string& id,
                              const std::string& url) {
  std::string text = Head("installer", setup, id);
  text += std::string("InstallerType: exe\n") +
          "InstallModes:\n  - interactive\n  - silent\n  - silentWithProgress\n" +
          "InstallerSwitches:\n" + "  Silent: /" + switches::kSilent + "\n" +
          "  SilentWithProgress: /" + switches::kPassive + "\n" +
          "  InstallLocation: " + switches::kDestination + "<INSTALLPATH>\n" + "  Log: '/" +
          switches::kLog + "=\"<LOGPATH>\"'\n" + "ExpectedReturnCodes:\n" +
          "  - InstallerReturnCode: " + std::to_string(kExitRestartNeeded) +
          "\n    ReturnResponse: rebootRequiredToFinish\n" +
          "  - InstallerReturnCode: " + std::to_string(kExitBadCommandLine) +
          "\n    ReturnResponse: invalidParameter\n" + "UpgradeBehavior: install\n";
  if (!setup.extensions.empty()) {
    text += "FileExtensions:\n";
    for (const std::string& extension : setup.extensions) text += "  - " + Quoted(extension) + "\n";
  }
  return text + InstallerEntry(setup, url) + Tail("installer");
}

std::string LocaleManifest(const PublishedSetup& setup, const std::string& id,
                           const std::string& locale) {
  std::string text = Head("defaultLocale", setup, id);
  text += "PackageLocale: " + locale + "\nPublisher: " + Quoted(setup.publisher) +
          "\nPackageName: " + Quoted(setup.name) + "\n";
  // Only a web address is one for winget; a "mailto:" stays in the entry.
  if (IsWebAddress(setup.url)) text += "PackageUrl: " + Quoted(setup.url) + "\n";
  text += "License: " + Quoted(setup.texts.licenceName) + "\n";
  if (!setup.texts.copyright.empty()) text += "Copyright: " + Quoted(setup.texts.copyright) + "\n";
  text += "ShortDescription: " + Quoted(setup.texts.description) + "\n";
  return text + Tail("defaultLocale");
}

}  // namespace

Result<std::vector<ManifestFile>> WingetManifests(const PublishedSetup& setup,
                                                  const std::string& installerUrl) {
  if (!IsWebAddress(installerUrl))
    return Problem{"--url", "\"" + installerUrl + "\" is not an http or https address"};
  const std::string id = setup.texts.id.empty() ? DerivedIdentifier(setup) : setup.texts.id;
  if (auto problem = CheckFacts(setup, id)) return *problem;
  const std::string locale = setup.texts.locale.empty() ? kDefaultLocale : setup.texts.locale;
  std::string version =
      Head("version", setup, id) + "DefaultLocale: " + locale + "\n" + Tail("version");
  return std::vector<ManifestFile>{
      {id + ".yaml", version},
      {id + ".installer.yaml", InstallerManifest(setup, id, installerUrl)},
      {id + ".locale." + locale + ".yaml", LocaleManifest(setup, id, locale)}};
}

}  // namespace packer
