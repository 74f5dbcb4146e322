#include "packer/gather.h"

#include <glob.h>
#include <sys/stat.h>

#include <algorithm>
#include <limits>
#include <map>

#include "package/stored_block.h"
#include "packer/code_page.h"
#include "packer/file_io.h"
#include "packer/text_rules.h"

namespace packer {
namespace {

Problem At(const EntryName& name, std::string message) {
  return Problem{name.entry, std::move(message), name.line};
}

// The setup program inflates each block whole into memory and refuses one
// larger than kLargestBlock: a package beyond it could never be installed.
constexpr std::uint64_t kMostFileData = kLargestBlock;
constexpr std::uint64_t kMostLicence = kLargestBlock / 2;

std::string Mebibytes(std::uint64_t bytes) { return std::to_string(bytes >> 20) + " MiB"; }

// The files a source names, in byte order so that the package does not
// depend on the locale or the directory's order.
Result<std::vector<std::string>> MatchSource(const FileSpec& fileSpec, const std::string& directory) {
  std::string pattern = ResolvePath(directory, fileSpec.pattern);
  if (!fileSpec.isGlob) return std::vector<std::string>{pattern};
  glob_t matches{};
  int status = ::glob(pattern.c_str(), GLOB_NOSORT, nullptr, &matches);
  std::vector<std::string> files;
  if (status == 0) {
    for (std::size_t i = 0; i < matches.gl_pathc; ++i) {
      struct stat info {};
      if (::stat(matches.gl_pathv[i], &info) == 0 && S_ISREG(info.st_mode))
        files.emplace_back(matches.gl_pathv[i]);
    }
  }
  ::globfree(&matches);
  if (status != 0 && status != GLOB_NOMATCH)
    return At(fileSpec.source, "\"" + fileSpec.pattern + "\" cannot be searched");
  if (files.empty()) return At(fileSpec.source, "\"" + fileSpec.pattern + "\" matches no file");
  std::sort(files.begin(), files.end());
  return files;
}

std::string BaseName(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Reads one matched file; `total` is the file data so far, checked against
// the limit before the file is read.
Result<PackedFile> PackFile(const FileSpec& fileSpec, const std::string& path, int codePage,
                            const GatherOptions& options, std::uint64_t* total) {
  PackedFile file;
  if (!fileSpec.fileName.empty()) {
    file.fileName = fileSpec.fileName;
  } else {
    auto name = Utf8ToCodePage(BaseName(path), codePage);
    if (!name)
      return At(fileSpec.source, "the name of \"" + path + "\" has a character that is not in code page " +
                                 std::to_string(codePage) + "; give it a \"name\"");
    if (auto refusal = CheckFileName(*name)) return At(fileSpec.source, "\"" + path + "\": name " + *refusal);
    file.fileName = *name;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    auto read = ReadFileBytes(path);  // for the system's reason
    return At(fileSpec.source, "\"" + path + "\" cannot be read: " +
                               (read.ok() ? std::string("not a regular file") : read.problem().message));
  }
  if (*total + static_cast<std::uint64_t>(info.st_size) > kMostFileData)
    return At(fileSpec.source, "\"" + path + "\" brings the files to more than " + Mebibytes(kMostFileData) +
                               ", the most the setup program can unpack");
  auto content = ReadFileBytes(path);
  if (!content.ok()) return At(fileSpec.source, "\"" + path + "\" cannot be read: " + content.problem().message);
  file.content = std::move(content.value());
  *total += file.content.size();
  if (*total > kMostFileData)  // grew while it was read
    return At(fileSpec.source, "\"" + path + "\" brings the files to more than " + Mebibytes(kMostFileData) +
                               ", the most the setup program can unpack");
  file.modified = info.st_mtime;
  if (options.latestTime && file.modified > *options.latestTime) file.modified = *options.latestTime;
  switch (fileSpec.versionChoice) {
    case VersionChoice::kGiven:
      file.version = fileSpec.version;
      break;
    case VersionChoice::kFromResource:
      if (auto version = ReadPeFileVersion(file.content.data(), file.content.size())) file.version = version;
      break;
    case VersionChoice::kNone:
      break;
  }
  file.placement = fileSpec.placement;
  if (file.placement.subDirectory.size() + file.fileName.size() > 250)
    return At(fileSpec.source, "\"" + path + "\": folder and name together are longer than 250 bytes; "
                           "the installed path would not fit Windows' limit");
  return file;
}

// Windows compares file names without regard to case.
std::string FoldCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

Result<std::string> ConvertLicenceText(const Bytes& raw, int codePage) {
  std::string text(raw.begin(), raw.end());
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  std::string out;
  int lineNumber = 1;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (line.find('\0') != std::string::npos)
      return Problem{"", "line " + std::to_string(lineNumber) + " contains a NUL character"};
    auto converted = Utf8ToCodePage(line, codePage);
    if (!converted)
      return Problem{"", "line " + std::to_string(lineNumber) +
                             " has a character that is not in code page " + std::to_string(codePage)};
    out += *converted;
    if (end == std::string::npos) break;
    out += "\r\n";
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    ++lineNumber;
  }
  return out;
}

Result<PackageParts> GatherPackage(const Project& project, Bytes uninstaller,
                                      const GatherOptions& options) {
  PackageParts contents;
  contents.settings = project.settings;
  contents.uninstaller = std::move(uninstaller);

  if (project.licencePath) {
    std::string missing;
    auto expanded = ExpandEnvironment(*project.licencePath, &missing);
    if (!expanded) return At(project.licenceEntry, "uses ${" + missing + "}, which is not set");
    std::string path = ResolvePath(project.directory, *expanded);
    auto raw = ReadFileBytes(path);
    if (!raw.ok()) return At(project.licenceEntry, "\"" + path + "\" cannot be read: " + raw.problem().message);
    auto text = ConvertLicenceText(raw.value(), project.codePage);
    if (!text.ok()) return At(project.licenceEntry, "\"" + path + "\": " + text.problem().message);
    if (text.value().size() >= kMostLicence)
      return At(project.licenceEntry, "\"" + path + "\" is larger than " + Mebibytes(kMostLicence));
    contents.licenceText = std::move(text.value());
  }

  // Two records for one installed path: the later would silently replace the
  // earlier, so the project is refused instead.
  std::map<std::string, std::string> installedBy;
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < project.files.size(); ++i) {
    const FileSpec& fileSpec = project.files[i];
    auto paths = MatchSource(fileSpec, project.directory);
    if (!paths.ok()) return paths.problem();
    for (const std::string& path : paths.value()) {
      auto file = PackFile(fileSpec, path, project.codePage, options, &total);
      if (!file.ok()) return file.problem();
      const PackedFile& packed = file.value();
      std::string target = std::to_string(packed.placement.destination) + ":" +
                           FoldCase(packed.placement.subDirectory + packed.fileName);
      std::string entry = fileSpec.source.entry.substr(0, fileSpec.source.entry.find('.'));
      auto [previous, inserted] = installedBy.emplace(target, entry);
      if (!inserted)
        return At(fileSpec.source, "\"" + path + "\" installs to the same place as a file of " + previous->second);
      contents.files.push_back(std::move(file.value()));
    }
  }
  if (contents.files.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    return Problem{"files", "too many files"};
  return contents;
}

}  // namespace packer
