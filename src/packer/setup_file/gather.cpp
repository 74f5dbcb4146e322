#include "packer/setup_file/gather.h"

#include <algorithm>
#include <limits>
#include <map>

#include "package/stored_block.h"
#include "packer/file_io.h"
#include "packer/pe/icon_file.h"
#include "packer/pe/pe_machine.h"
#include "packer/pe/pe_version.h"
#include "packer/project/code_page.h"
#include "packer/project/project_paths.h"
#include "packer/project/source_tree.h"
#include "packer/project/text_rules.h"

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

// How many names a warning lists before it says how many more.
constexpr std::size_t kNamesInAWarning = 3;

// "dist/logs", "dist/cache" and 2 more: the folders as the pattern names them.
std::string Names(const std::string& fixedPart, const std::vector<std::string>& relatives) {
  std::string text;
  std::string prefix = fixedPart == "." ? "" : fixedPart + "/";
  for (std::size_t i = 0; i < relatives.size() && i < kNamesInAWarning; ++i)
    text += (i > 0 ? ", \"" : "\"") + prefix + relatives[i] + "\"";
  if (relatives.size() > kNamesInAWarning)
    text += " and " + std::to_string(relatives.size() - kNamesInAWarning) + " more";
  return text;
}

// The pattern as the vendor wrote it with its last part taking folders too:
// "dist/*" becomes "dist/**", "dist/*.dll" becomes "dist/**/*.dll".
std::string WithAnyFolders(const std::string& pattern) {
  std::size_t slash = pattern.find_last_of('/');
  std::string folder = slash == std::string::npos ? "" : pattern.substr(0, slash + 1);
  std::string last = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  return folder + (last == "*" ? "**" : "**/" + last);
}

// The files a source names, in byte order of their paths below the
// pattern's fixed part, so that the package depends neither on the locale
// nor on the folders' order. The project's folder and the values of ${...}
// are escaped: only the source's own text is a pattern. What the pattern
// meets but cannot pack becomes a warning.
Result<std::vector<FoundFile>> MatchSource(const FileSpec& fileSpec, const std::string& directory,
                                           std::vector<Problem>& warnings) {
  if (!fileSpec.isGlob) {
    std::string path = ResolvePath(directory, fileSpec.pattern);
    return std::vector<FoundFile>{{path, path.substr(path.find_last_of('/') + 1)}};
  }
  std::string pattern = fileSpec.globPattern;
  if (pattern[0] != '/') pattern = EscapeGlob(directory) + "/" + pattern;
  std::vector<ExcludePattern> excludes;
  for (const std::string& text : fileSpec.excludes)
    excludes.push_back(ParseExcludePattern(text).value());
  auto found = FindSourceFiles(pattern, excludes);
  if (!found.ok()) return At(fileSpec.source, found.problem().message);
  const SourceMatch& match = found.value();
  const std::string quoted = "\"" + fileSpec.pattern + "\"";
  std::string folders =
      std::to_string(match.unpackedFolders) + (match.unpackedFolders == 1 ? " folder" : " folders");
  std::string anyFolders =
      "\"" + WithAnyFolders(fileSpec.pattern) + "\" packs the folders with all they hold";
  if (match.files.empty()) {
    if (match.unpackedFolders > 0)
      return At(fileSpec.source, quoted + " matches no file, only " + folders + "; " + anyFolders);
    return At(fileSpec.source, quoted + " matches no file");
  }
  if (match.unpackedFolders > 0)
    warnings.push_back(At(
        fileSpec.source, quoted + " matches " + folders + ", which are not packed; " + anyFolders));
  if (!match.emptyFolders.empty())
    warnings.push_back(At(
        fileSpec.source, quoted + " meets " + std::to_string(match.emptyFolders.size()) +
                             (match.emptyFolders.size() == 1 ? " empty folder" : " empty folders") +
                             " (" + Names(FixedPart(fileSpec.globPattern), match.emptyFolders) +
                             "), which a package cannot carry: setup makes only the folders of "
                             "the files it installs"));
  return match.files;
}

// Where a found file goes: the entry's subfolder with the file's folder
// below the fixed part, and its name, in the code page and checked as the
// setup program will make them.
Result<PackedFile> PlaceFile(const FileSpec& fileSpec, const FoundFile& found, int codePage) {
  PackedFile file;
  file.placement = fileSpec.placement;
  std::size_t slash = found.relative.find_last_of('/');
  std::string name = slash == std::string::npos ? found.relative : found.relative.substr(slash + 1);
  if (slash != std::string::npos) {
    auto folder = Utf8ToCodePage(found.relative.substr(0, slash), codePage);
    if (!folder)
      return At(fileSpec.source, "the folder of \"" + found.path +
                                     "\" has a character that is not in code page " +
                                     std::to_string(codePage));
    SubDirectoryResult sub = NormaliseSubDirectory(file.placement.subDirectory + *folder, codePage);
    if (sub.refusal)
      return At(fileSpec.source, "\"" + found.path + "\": the folder " + *sub.refusal);
    file.placement.subDirectory = sub.normalised;
  }
  if (!fileSpec.fileName.empty()) {
    file.fileName = fileSpec.fileName;
    return file;
  }
  auto converted = Utf8ToCodePage(name, codePage);
  if (!converted)
    return At(fileSpec.source,
              "the name of \"" + found.path + "\" has a character that is not in code page " +
                  std::to_string(codePage) + (fileSpec.isGlob ? "" : "; give it a \"name\""));
  if (auto refusal = CheckFileName(*converted, codePage))
    return At(fileSpec.source, "\"" + found.path + "\": name " + *refusal);
  file.fileName = *converted;
  return file;
}

Problem TooMuchData(const EntryName& source, const std::string& path) {
  return At(source, "\"" + path + "\" brings the files to more than " +
                        std::to_string(kMostFileData) + " bytes (4 GiB), the most a package holds");
}

Problem IsTheOutput(const EntryName& entry, const std::string& path, const GatherOptions& options) {
  return At(entry, "\"" + path + "\" is the output file \"" + options.outputPath +
                       "\"; vtpack never writes over its inputs");
}

// What a file's PE headers tell: its version, unless the entry gives one,
// and the processor it is for. A 32-bit file in a 64-bit package is fine
// (a helper), but not one that registers itself: a 64-bit package registers
// with the 64-bit RegSvr32. Only the few bytes the readers look at are read.
Check ReadImageFacts(const FileSpec& fileSpec, const Project& project, InputFile& input,
                     PackedFile& file) {
  OpenImage image(input);
  if (auto kind = ReadImageKind(image)) file.architecture = kind->architecture;
  if (file.architecture == Architecture::kX86 && file.placement.selfRegister &&
      project.settings.application.architecture == Architecture::kX64)
    return At(fileSpec.source,
              "\"" + file.source +
                  "\" is 32-bit (x86) and registers itself, and the package is 64-bit "
                  "(architecture = \"x64\"), whose setup program registers files with the 64-bit "
                  "RegSvr32; pack it in a package of architecture \"x86\"");
  if (fileSpec.versionChoice == VersionChoice::kGiven) file.version = fileSpec.version;
  if (fileSpec.versionChoice == VersionChoice::kFromResource)
    file.version = ReadPeFileVersion(image);
  return std::nullopt;
}

// One matched file as the package lists it: its name, size, time stamp and
// version. Its bytes are read only when the package is written; `total`
// (the file data so far) is checked against the limit with the size the
// file has now.
Result<PackedFile> PackFile(const FileSpec& fileSpec, std::size_t specIndex, const FoundFile& found,
                            const Project& project, const GatherOptions& options,
                            std::uint64_t& total) {
  auto placed = PlaceFile(fileSpec, found, project.codePage);
  if (!placed.ok()) return placed.problem();
  PackedFile file = std::move(placed.value());
  const std::string& path = found.path;
  const Application& app = project.settings.application;
  if (auto refusal =
          CheckInstalledPathLength(file.placement.destination, app.name,
                                   file.placement.subDirectory, file.fileName, app.scope))
    return At(fileSpec.source, "\"" + path + "\" " + *refusal);
  auto input = InputFile::Open(path);
  if (!input.ok())
    return At(fileSpec.source, "\"" + path + "\" cannot be read: " + input.problem().message);
  if (options.output && input.value().Identity() == *options.output)
    return IsTheOutput(fileSpec.source, path, options);
  if (options.temporary && input.value().Identity() == *options.temporary)
    return At(fileSpec.source, "\"" + path +
                                   "\" is vtpack's temporary file for the output; "
                                   "vtpack never reads its own output");
  if (total + input.value().Size() > kMostFileData) return TooMuchData(fileSpec.source, path);
  total += input.value().Size();
  file.source = path;
  file.specIndex = specIndex;
  file.size = static_cast<std::uint32_t>(input.value().Size());
  file.modified = input.value().Modified();
  if (options.latestTime && file.modified > *options.latestTime)
    file.modified = *options.latestTime;
  if (auto problem = ReadImageFacts(fileSpec, project, input.value(), file)) return *problem;
  return file;
}

// Names of files, as many as a warning lists: "a.dll", "b.dll" and 2 more.
std::string FileNames(const std::vector<std::string>& paths) {
  std::string text;
  for (std::size_t i = 0; i < paths.size() && i < kNamesInAWarning; ++i)
    text += (i > 0 ? ", \"" : "\"") + paths[i] + "\"";
  if (paths.size() > kNamesInAWarning)
    text += " and " + std::to_string(paths.size() - kNamesInAWarning) + " more";
  return text;
}

// 64-bit programs and DLLs of one entry in a 32-bit package: the 32-bit
// setup program installs them as a 32-bit application's.
void WarnOf64BitFiles(const Project& project, const FileSpec& fileSpec,
                      const std::vector<PackedFile>& files, std::size_t first,
                      std::vector<Problem>& warnings) {
  if (project.settings.application.architecture != Architecture::kX86) return;
  std::vector<std::string> found;
  for (std::size_t i = first; i < files.size(); ++i) {
    if (files[i].architecture == Architecture::kX64) found.push_back(files[i].source);
  }
  if (found.empty()) return;
  warnings.push_back(
      At(fileSpec.source,
         FileNames(found) + (found.size() == 1 ? " is" : " are") +
             " 64-bit (x64), and the package is 32-bit: its setup program installs a 32-bit "
             "application (Program Files (x86), the 32-bit registry view, the 32-bit RegSvr32); "
             "set architecture = \"x64\" in [application]"));
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
    std::string line =
        text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (line.find('\0') != std::string::npos)
      return Problem{"", "line " + std::to_string(lineNumber) + " contains a NUL character"};
    auto converted = Utf8ToCodePage(line, codePage);
    if (!converted)
      return Problem{"", "line " + std::to_string(lineNumber) +
                             " has a character that is not in code page " +
                             std::to_string(codePage)};
    out += *converted;
    if (end == std::string::npos) break;
    out += "\r\n";
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    ++lineNumber;
  }
  return out;
}

namespace {

// A text input the packer reads whole (the licence, the icon): a regular
// file that is not the output, and not larger than `most` bytes.
Result<Bytes> ReadWholeInput(const EntryName& entry, const std::string& path, std::uint64_t most,
                             const GatherOptions& options) {
  auto input = InputFile::Open(path);
  if (!input.ok()) return At(entry, "\"" + path + "\" cannot be read: " + input.problem().message);
  if (options.output && input.value().Identity() == *options.output)
    return IsTheOutput(entry, path, options);
  if (input.value().Size() > most)
    return At(entry, "\"" + path + "\" is larger than " + Mebibytes(most));
  Bytes raw;
  if (auto problem = input.value().ReadInto(raw))
    return At(entry, "\"" + path + "\" cannot be read: " + problem->message);
  return raw;
}

// The licence file's text in the code page, CR LF lines.
Check GatherLicence(const Project& project, const GatherOptions& options, PackageParts& contents) {
  if (!project.licencePath) return std::nullopt;
  std::string path = ResolvePath(project.directory, *project.licencePath);
  // A code page character takes at most 4 bytes of UTF-8: a larger file
  // can only give a larger text.
  auto raw = ReadWholeInput(project.licenceEntry, path, 4 * kMostLicence, options);
  if (!raw.ok()) return raw.problem();
  auto text = ConvertLicenceText(raw.value(), project.codePage);
  if (!text.ok()) return At(project.licenceEntry, "\"" + path + "\": " + text.problem().message);
  if (text.value().size() >= kMostLicence)
    return At(project.licenceEntry, "\"" + path + "\" is larger than " + Mebibytes(kMostLicence));
  contents.licenceText = std::move(text.value());
  return std::nullopt;
}

// The vendor's icon, checked to be one before anything is written.
Check GatherIcon(const Project& project, const GatherOptions& options, PackageParts& contents) {
  if (!project.iconPath) return std::nullopt;
  std::string path = ResolvePath(project.directory, *project.iconPath);
  auto raw = ReadWholeInput(project.iconEntry, path, kMostIconFile, options);
  if (!raw.ok()) return raw.problem();
  auto icon = ReadIconFile(raw.value());
  if (!icon.ok()) return At(project.iconEntry, "\"" + path + "\" " + icon.problem().message);
  contents.icon = std::move(icon.value());
  return std::nullopt;
}

// AppVersion from the version resource of the source of the file installed
// as application.program.
Check VersionFromProgram(const Project& project, PackageParts& contents) {
  if (!project.versionFromProgram) return std::nullopt;
  const int codePage = project.codePage;
  const std::string& program = project.settings.application.programFile;
  auto installed =
      std::find_if(contents.files.begin(), contents.files.end(), [&](const PackedFile& file) {
        return file.placement.destination == layout::kDestinationApplication &&
               file.placement.subDirectory.empty() &&
               FoldCase(file.fileName, codePage) == FoldCase(program, codePage);
      });
  const std::string name = "\"" + CodePageToUtf8(program, codePage) + "\"";
  if (installed == contents.files.end())
    return At(project.versionFromProgramEntry, "no [[files]] entry installs application.program " +
                                                   name + " into the destination folder itself");
  auto input = InputFile::Open(installed->source);
  std::optional<FileVersion> version;
  if (input.ok()) {
    OpenImage image(input.value());
    version = ReadPeFileVersion(image);
  }
  if (!version)
    return At(project.versionFromProgramEntry,
              "\"" + installed->source + "\", installed as " + name +
                  ", has no version resource to take AppVersion from");
  contents.settings.application.version =
      std::to_string(version->major) + "." + std::to_string(version->minor) + "." +
      std::to_string(version->build) + "." + std::to_string(version->revision);
  return std::nullopt;
}

// The installed paths of the files gathered so far. Two records for one
// installed path: the later would silently replace the earlier, so the
// project is refused instead. Paths are compared as they are on a standard
// system where the user keeps the default folder: an "app" file lands in
// "<Program Files>\<name>\", so a "program-files" file below "<name>" may
// land on it.
class InstalledPaths {
 public:
  explicit InstalledPaths(const Project& project) : project_(project) {}

  Check Add(const FileSpec& fileSpec, const PackedFile& packed, const std::string& path) {
    const int codePage = project_.codePage;
    std::string below = packed.placement.subDirectory + packed.fileName;
    const Application& app = project_.settings.application;
    std::string installed = StandardBase(packed.placement.destination, app.name, app.scope) + below;
    const std::string uninstaller = InstalledUninstallerName(app.architecture);
    if (app.scope == InstallScope::kUser &&
        packed.placement.destination == layout::kDestinationApplication &&
        FoldCase(below, codePage) == FoldCase(uninstaller))
      return At(fileSpec.source, "\"" + path + "\" installs as " + uninstaller +
                                     " in the destination folder itself, where a per-user "
                                     "package's uninstaller lies");
    std::string entry = fileSpec.source.entry.substr(0, fileSpec.source.entry.find('.'));
    auto [previous, inserted] = installedBy_.emplace(FoldCase(installed, codePage),
                                                     Target{entry, packed.placement.destination});
    if (!inserted) {
      std::string message =
          "\"" + path + "\" installs to the same place as a file of " + previous->second.entry;
      if (previous->second.destination != packed.placement.destination)
        message += " when the user keeps the default folder: \"" +
                   CodePageToUtf8(installed, codePage) + "\"";
      return At(fileSpec.source, message);
    }
    if (packed.placement.destination == layout::kDestinationApplication &&
        below.size() > longestBelowApplication_) {
      longestBelowApplication_ = below.size();
      longestEntry_ = fileSpec.source;
      longestPath_ = path;
    }
    return std::nullopt;
  }

  // The user may choose a longer folder than the standard one on the
  // destination page: a warning names the file that leaves the least room
  // for it.
  void WarnAboutChosenFolder(std::vector<Problem>& warnings) const {
    if (!project_.settings.options.showDestinationPage || longestBelowApplication_ == 0) return;
    // Folder + "\\" + the path below it.
    std::size_t room = kMostPathLength - 1 - longestBelowApplication_;
    if (room < kWarnBelowChosenFolder)
      warnings.push_back(At(longestEntry_, "\"" + longestPath_ +
                                               "\" fails to install when the folder "
                                               "chosen on the destination page is longer than " +
                                               std::to_string(room) + " characters"));
  }

 private:
  struct Target {
    std::string entry;
    std::uint32_t destination;
  };
  const Project& project_;
  std::map<std::string, Target> installedBy_;
  std::size_t longestBelowApplication_ = 0;
  EntryName longestEntry_;
  std::string longestPath_;
};

}  // namespace

Result<PackageParts> GatherPackage(const Project& project, Bytes uninstaller,
                                   const GatherOptions& options) {
  PackageParts contents;
  contents.settings = project.settings;
  contents.uninstaller = std::move(uninstaller);
  contents.warnings = project.warnings;
  if (auto problem = GatherLicence(project, options, contents)) return *problem;
  if (auto problem = GatherIcon(project, options, contents)) return *problem;
  InstalledPaths installed(project);
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < project.files.size(); ++i) {
    const FileSpec& fileSpec = project.files[i];
    contents.sources.push_back(fileSpec.source);
    auto found = MatchSource(fileSpec, project.directory, contents.warnings);
    if (!found.ok()) return found.problem();
    const std::size_t first = contents.files.size();
    for (const FoundFile& each : found.value()) {
      auto file = PackFile(fileSpec, i, each, project, options, total);
      if (!file.ok()) return file.problem();
      if (auto problem = installed.Add(fileSpec, file.value(), each.path)) return *problem;
      contents.files.push_back(std::move(file.value()));
    }
    WarnOf64BitFiles(project, fileSpec, contents.files, first, contents.warnings);
  }
  installed.WarnAboutChosenFolder(contents.warnings);
  if (contents.files.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    return Problem{"files", "too many files"};
  if (auto problem = VersionFromProgram(project, contents)) return *problem;
  return contents;
}

}  // namespace packer
