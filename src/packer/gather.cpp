#include "packer/gather.h"

#include <glob.h>
#include <sys/stat.h>

#include <algorithm>
#include <limits>
#include <map>

#include "package/stored_block.h"
#include "packer/code_page.h"
#include "packer/environment_expansion.h"
#include "packer/file_io.h"
#include "packer/pe_version.h"
#include "packer/project_paths.h"
#include "packer/text_rules.h"

namespace packer {
namespace {

// An opened input file as the version reader reads it: a few bytes here
// and there, never the whole file.
class OpenImage final : public PackageFile {
 public:
  explicit OpenImage(InputFile& file) : file_(file) {}
  bool Read(void* buffer, std::uint32_t count) override {
    if (!file_.ReadAt(position_, static_cast<std::uint8_t*>(buffer), count)) return false;
    position_ += count;
    return true;
  }
  bool Seek(std::uint64_t offset) override {
    position_ = offset;
    return offset <= file_.Size();
  }
  std::uint64_t Position() const override { return position_; }
  std::uint64_t Size() const override { return file_.Size(); }

 private:
  InputFile& file_;
  std::uint64_t position_ = 0;
};

Problem At(const EntryName& name, std::string message) {
  return Problem{name.entry, std::move(message), name.line};
}

// The setup program unpacks the file data as it writes the files, so only
// the layout's 32-bit UncompressedSize limits it. The licence is inflated
// whole into memory, and a block larger than kLargestBlock is refused.
constexpr std::uint64_t kMostFileData = UINT32_MAX;
constexpr std::uint64_t kMostLicence = kLargestBlock / 2;

std::string Mebibytes(std::uint64_t bytes) { return std::to_string(bytes >> 20) + " MiB"; }

// The files a source names, in byte order so that the package does not
// depend on the locale or the directory's order. The project's folder and
// the values of ${...} are escaped: only the source's own text is a pattern.
Result<std::vector<std::string>> MatchSource(const FileSpec& fileSpec, const std::string& directory) {
  if (!fileSpec.isGlob) return std::vector<std::string>{ResolvePath(directory, fileSpec.pattern)};
  std::string pattern = fileSpec.globPattern;
  if (pattern.empty() || pattern[0] != '/') pattern = EscapeGlob(directory) + "/" + pattern;
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

Problem TooMuchData(const EntryName& source, const std::string& path) {
  return At(source, "\"" + path + "\" brings the files to more than " + std::to_string(kMostFileData) +
                        " bytes (4 GiB), the most a package holds");
}

Problem IsTheOutput(const EntryName& entry, const std::string& path, const GatherOptions& options) {
  return At(entry, "\"" + path + "\" is the output file \"" + options.outputPath +
                       "\"; vtpack never writes over its inputs");
}

// One matched file as the package lists it: its name, size, time stamp and
// version. Its bytes are read only when the package is written; `total`
// (the file data so far) is checked against the limit with the size the
// file has now.
Result<PackedFile> PackFile(const FileSpec& fileSpec, std::size_t specIndex, const std::string& path,
                            const Project& project, const GatherOptions& options, std::uint64_t& total) {
  PackedFile file;
  int codePage = project.codePage;
  if (!fileSpec.fileName.empty()) {
    file.fileName = fileSpec.fileName;
  } else {
    auto name = Utf8ToCodePage(BaseName(path), codePage);
    if (!name)
      return At(fileSpec.source, "the name of \"" + path + "\" has a character that is not in code page " +
                                 std::to_string(codePage) + "; give it a \"name\"");
    if (auto refusal = CheckFileName(*name, codePage))
      return At(fileSpec.source, "\"" + path + "\": name " + *refusal);
    file.fileName = *name;
  }
  file.placement = fileSpec.placement;
  if (auto refusal = CheckInstalledPathLength(file.placement.destination, project.settings.application.name,
                                              file.placement.subDirectory, file.fileName))
    return At(fileSpec.source, "\"" + path + "\" " + *refusal);
  auto input = InputFile::Open(path);
  if (!input.ok()) return At(fileSpec.source, "\"" + path + "\" cannot be read: " + input.problem().message);
  if (options.output && input.value().Identity() == *options.output)
    return IsTheOutput(fileSpec.source, path, options);
  if (options.temporary && input.value().Identity() == *options.temporary)
    return At(fileSpec.source, "\"" + path + "\" is vtpack's temporary file for the output; "
                               "vtpack never reads its own output");
  if (total + input.value().Size() > kMostFileData) return TooMuchData(fileSpec.source, path);
  total += input.value().Size();
  file.source = path;
  file.specIndex = specIndex;
  file.size = static_cast<std::uint32_t>(input.value().Size());
  file.modified = input.value().Modified();
  if (options.latestTime && file.modified > *options.latestTime) file.modified = *options.latestTime;
  switch (fileSpec.versionChoice) {
    case VersionChoice::kGiven:
      file.version = fileSpec.version;
      break;
    case VersionChoice::kFromResource: {
      // Only the few bytes the version reader looks at are read.
      OpenImage image(input.value());
      if (auto version = ReadPeFileVersion(image)) file.version = version;
      break;
    }
    case VersionChoice::kNone:
      break;
  }
  return file;
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
    auto input = InputFile::Open(path);
    if (!input.ok())
      return At(project.licenceEntry, "\"" + path + "\" cannot be read: " + input.problem().message);
    if (options.output && input.value().Identity() == *options.output)
      return IsTheOutput(project.licenceEntry, path, options);
    // A code page character takes at most 4 bytes of UTF-8: a larger file
    // can only give a larger text.
    if (input.value().Size() > 4 * kMostLicence)
      return At(project.licenceEntry, "\"" + path + "\" is larger than " + Mebibytes(kMostLicence));
    Bytes raw;
    if (auto problem = input.value().ReadInto(raw))
      return At(project.licenceEntry, "\"" + path + "\" cannot be read: " + problem->message);
    auto text = ConvertLicenceText(raw, project.codePage);
    if (!text.ok()) return At(project.licenceEntry, "\"" + path + "\": " + text.problem().message);
    if (text.value().size() >= kMostLicence)
      return At(project.licenceEntry, "\"" + path + "\" is larger than " + Mebibytes(kMostLicence));
    contents.licenceText = std::move(text.value());
  }

  // Two records for one installed path: the later would silently replace the
  // earlier, so the project is refused instead.
  std::map<std::string, std::string> installedBy;
  // The user may choose a longer folder than the standard one on the
  // destination page: the file that leaves the least room for it.
  std::size_t longestBelowApplication = 0;
  EntryName longestEntry;
  std::string longestPath;
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < project.files.size(); ++i) {
    const FileSpec& fileSpec = project.files[i];
    contents.sources.push_back(fileSpec.source);
    auto paths = MatchSource(fileSpec, project.directory);
    if (!paths.ok()) return paths.problem();
    for (const std::string& path : paths.value()) {
      auto file = PackFile(fileSpec, i, path, project, options, total);
      if (!file.ok()) return file.problem();
      const PackedFile& packed = file.value();
      std::string below = packed.placement.subDirectory + packed.fileName;
      std::string target = std::to_string(packed.placement.destination) + ":" + FoldCase(below, project.codePage);
      std::string entry = fileSpec.source.entry.substr(0, fileSpec.source.entry.find('.'));
      auto [previous, inserted] = installedBy.emplace(target, entry);
      if (!inserted)
        return At(fileSpec.source, "\"" + path + "\" installs to the same place as a file of " + previous->second);
      if (packed.placement.destination == layout::kDestinationApplication && below.size() > longestBelowApplication) {
        longestBelowApplication = below.size();
        longestEntry = fileSpec.source;
        longestPath = path;
      }
      contents.files.push_back(std::move(file.value()));
    }
  }
  if (project.settings.options.showDestinationPage && longestBelowApplication > 0) {
    // Folder + "\\" + the path below it.
    std::size_t room = kMostPathLength - 1 - longestBelowApplication;
    if (room < kWarnBelowChosenFolder)
      contents.warnings.push_back(At(longestEntry, "\"" + longestPath + "\" fails to install when the folder "
                                     "chosen on the destination page is longer than " + std::to_string(room) +
                                     " characters"));
  }
  if (contents.files.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    return Problem{"files", "too many files"};
  return contents;
}

}  // namespace packer
