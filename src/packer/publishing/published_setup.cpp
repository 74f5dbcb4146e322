#include "packer/publishing/published_setup.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/sha256_digest.h"
#include "base/uninstall_key.h"
#include "package/stdio_package_file.h"
#include "packer/project/code_page.h"
#include "packer/project/uninstall_entry.h"
#include "packer/setup_file/package_listing.h"
#include "packer/setup_file/setup_scope.h"

namespace packer {
namespace {

// The whole file's SHA-256, read a megabyte at a time.
Result<std::string> FileDigest(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) return Problem{"", std::string("cannot be read: ") + std::strerror(errno)};
  Sha256 hash;
  std::vector<char> buffer(1 << 20);
  for (std::size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0;)
    hash.Add(buffer.data(), got);
  if (std::ferror(file.get())) return Problem{"", "cannot be read to its end"};
  SharedString digest;
  hash.Finish(digest);
  std::string upper(digest.Text());
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// The data of the package's record `name` in the application's Uninstall
// key, under the root of the package's scope.
std::string UninstallRecord(const PackageListing& listing, InstallScope scope,
                            const std::string& name) {
  const std::string key = UninstallEntryPath(listing.appName);
  const layout::RegistryRoot root = UninstallEntryRoot(scope);
  for (const ListedRegistryKey& records : listing.registry) {
    if (records.root != root || records.path != key) continue;
    for (const auto& [type, text] : records.values)
      if (text.compare(0, name.size() + 1, name + "=") == 0) return text.substr(name.size() + 1);
  }
  return "";
}

}  // namespace

Result<PublishedSetup> ReadPublishedSetup(const std::string& path, std::optional<int> codePage) {
  auto listing = ReadPackageListing(path);
  if (!listing.ok()) return listing.problem();
  const PackageListing& p = listing.value();
  StdioPackageFile file;
  if (!file.Open(path.c_str())) return Problem{"", std::strerror(errno)};
  PublishedSetup setup;
  auto architecture = ReadSetupArchitecture(path);
  if (!architecture.ok()) return architecture.problem();
  setup.architecture = architecture.value();
  setup.texts = ReadPublishingTexts(file);
  setup.codePage = codePage               ? *codePage
                   : setup.texts.codePage ? setup.texts.codePage
                                          : kDefaultCodePage;
  if (!IsWindowsAnsiCodePage(setup.codePage))
    return Problem{"", "names code page " + std::to_string(setup.codePage) +
                           ", which is not a Windows ANSI code page"};
  auto digest = FileDigest(path);
  if (!digest.ok()) return digest.problem();
  setup.sha256 = digest.value();
  setup.fileName = path.substr(path.find_last_of('/') + 1);
  const InstallScope scope = SetupScope(file);
  setup.scope = ScopeName(scope);
  setup.isSigned = p.isSigned;
  auto utf8 = [&](const std::string& text) { return CodePageToUtf8(text, setup.codePage); };
  setup.name = utf8(p.appName);
  setup.version = utf8(p.appVersion);
  setup.publisher = utf8(UninstallRecord(p, scope, kPublisherValue));
  setup.url = utf8(UninstallRecord(p, scope, kUrlInfoAboutValue));
  for (const ListedAssociation& a : p.associations) setup.extensions.push_back(utf8(a.extension));
  return setup;
}

std::string UninstallEntryKey(const PublishedSetup& setup) {
  const InstallScope scope = setup.scope == "user" ? InstallScope::kUser : InstallScope::kMachine;
  return std::string(layout::kRegistryRootNames[UninstallEntryRoot(scope)]) + "\\" +
         UninstallEntryPath(setup.name);
}

}  // namespace packer
