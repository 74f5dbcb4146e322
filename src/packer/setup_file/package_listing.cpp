#include "packer/setup_file/package_listing.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "base/messages.h"
#include "package/header_reader.h"
#include "package/program_image.h"
#include "package/stdio_package_file.h"
#include "package/whole_package.h"
#include "packer/file_io.h"
#include "packer/pe/pe_machine.h"
#include "packer/pe/program_manifest.h"
#include "packer/setup_file/setup_scope.h"

namespace packer {
namespace {

class CollectingSinks : public RegistryRecordSink, public AssociationSink {
 public:
  explicit CollectingSinks(PackageListing& listing) : listing_(listing) {}
  void BeginKey(layout::RegistryRoot root, const SharedString& keyPath) override {
    listing_.registry.push_back({root, keyPath.Text(), {}});
  }
  void Value(std::uint32_t type, const SharedString& text) override {
    listing_.registry.back().values.emplace_back(type, text.Text());
  }
  void EndKey() override {}
  void Association(const AssociationRecord& r) override {
    listing_.associations.push_back({r.Extension.Text(), r.ClassName.Text(), r.Description.Text(),
                                     r.ProgramPath.Text(), r.IconPath.Text(), r.IconIndex});
  }

 private:
  PackageListing& listing_;
};

// Cuts the file data into the files' contents, in table order (the reader
// has read the table before the data), or lets it pass.
class ContentCollector final : public FileDataSink {
 public:
  ContentCollector(const FileTable& files, bool keep) : files_(files), keep_(keep) {}
  void Take(const unsigned char* bytes, std::uint32_t count) override {
    while (keep_ && count > 0 && file_ < files_.Count()) {
      if (contents.size() <= static_cast<std::size_t>(file_)) contents.emplace_back();
      Bytes& content = contents[file_];
      std::size_t take = std::min<std::size_t>(count, files_[file_].FileSize - content.size());
      content.insert(content.end(), bytes, bytes + take);
      bytes += take;
      count -= static_cast<std::uint32_t>(take);
      if (content.size() == files_[file_].FileSize) ++file_;
    }
  }
  std::vector<Bytes> contents;  // by file; those after the last bytes are missing

 private:
  const FileTable& files_;
  bool keep_;
  int file_ = 0;
};

// The reader reports through message boxes; here they become the Problem.
std::string* gReaderMessage = nullptr;
int RecordMessage(const MessageBoxRequest& request) {
  if (gReaderMessage != nullptr && gReaderMessage->empty()) *gReaderMessage = request.text;
  return kAnswerOk;
}

bool PeekU32(StdioPackageFile& file, std::uint64_t offset, std::uint32_t* value) {
  unsigned char bytes[4];
  if (!file.Seek(offset) || !file.Read(bytes, 4)) return false;
  *value = LoadU32(bytes);
  return true;
}

std::uint64_t SerialisedSize(const FileRecord& record) {
  std::uint64_t size = 4 + record.FileName.Length() + 1 + 4 + record.SubDirectory.Length() + 1 +
                       layout::kDateTimeImageSize + 4 + 12;
  if (record.HasVersion == layout::kHasVersionPresent) size += layout::kFileVersionSize;
  return size;
}

ListedTime CopyTime(const DateTime& stamp) {
  ListedTime t;
  t.seconds = stamp.seconds;
  t.stale = stamp.stale;
  t.valid = stamp.valid;
  t.year = stamp.year + 1900;
  t.month = stamp.month + 1;
  t.day = stamp.day;
  t.hour = stamp.hour;
  t.minute = stamp.minute;
  t.second = stamp.second;
  t.weekday = stamp.weekday;
  t.dayOfYear = stamp.dayOfYear;
  t.daylightSaving = stamp.daylightSaving;
  return t;
}

void CopyContents(const ::PackageContents& c, ContentCollector& collected,
                  PackageListing& listing) {
  listing.headerOffset = c.HeaderOffset;
  listing.trailerOffset = c.TrailerOffset;
  listing.isSigned = c.Signed;
  const PackageHeader& h = c.Header;
  listing.appName = h.AppName;
  listing.appVersion = h.AppVersion;
  listing.programWindowClass = h.ProgramWindowClass;
  listing.programFileName = h.ProgramFileName;
  listing.showDestinationPage = h.ShowDestinationPage != 0;
  listing.showShortcutsPage = h.ShowShortcutsPage != 0;
  listing.hasLicence = h.HasLicence != 0;
  listing.showWelcomePage = h.ShowWelcomePage != 0;
  listing.runProgramAtEnd = h.RunProgramAtEnd != 0;
  listing.checkProgramNotRunning = h.CheckProgramNotRunning != 0;
  listing.licenceText = c.LicenceText.Text();
  listing.uninstaller.assign(c.Uninstaller.Data(), c.Uninstaller.Data() + c.Uninstaller.Length());
  if (auto kind = ReadImageKind(listing.uninstaller))
    listing.uninstallerArchitecture = kind->architecture;
  listing.fileDataProduced = c.FileDataLength;
  for (int i = 0; i < c.Files.Count(); ++i) {
    const FileRecord& r = c.Files[i];
    ListedFile file;
    file.fileName = r.FileName.Text();
    file.subDirectory = r.SubDirectory.Text();
    file.destinationType = r.DestinationType;
    file.fileSize = r.FileSize;
    file.timestamp = CopyTime(r.FileTimestamp);
    file.hasVersion = r.HasVersion;
    std::memcpy(file.version, r.FileVersion, sizeof file.version);
    file.replaceIfInUse = r.ReplaceIfInUse;
    file.selfRegister = r.SelfRegister;
    file.sharedDll = r.SharedDll;
    if (static_cast<std::size_t>(i) < collected.contents.size())
      file.content = std::move(collected.contents[i]);
    listing.files.push_back(std::move(file));
  }
  listing.endOffset = c.EndOffset;
}

// The stored sizes the reader does not keep: the uninstaller block's and the
// file data block's UncompressedSize, found from the sizes of what precedes them.
void PeekDeclaredSizes(StdioPackageFile& file, const ::PackageContents& c,
                       PackageListing& listing) {
  std::uint32_t compressed = 0;
  if (!PeekU32(file, c.DataOffset, &compressed) ||
      !PeekU32(file, c.DataOffset + 4, &listing.uninstallerDeclaredSize))
    return;
  if (c.Files.Count() <= 0) return;
  std::uint64_t table = 4;
  for (int i = 0; i < c.Files.Count(); ++i) table += SerialisedSize(c.Files[i]);
  std::uint32_t declared = 0;
  if (PeekU32(file, c.DataOffset + layout::kStoredBlockFramingSize + compressed + table + 4,
              &declared))
    listing.fileDataDeclaredSize = declared;
}

}  // namespace

Result<PackageListing> ReadPackageListing(const std::string& path, bool keepContents) {
  // A FIFO or device would block or never end: regular files only.
  auto regular = InputFile::Open(path);
  if (!regular.ok()) return regular.problem();
  StdioPackageFile file;
  if (!file.Open(path.c_str())) return Problem{"", std::strerror(errno)};
  PackageListing listing;
  listing.fileSize = file.Size();
  auto contents = std::make_unique<::PackageContents>();
  CollectingSinks sinks(listing);
  ContentCollector collected(contents->Files, keepContents);
  std::string failure;
  PackageInput input{&file, path.c_str(), kProductCaption};
  gReaderMessage = &failure;
  MessageBoxHandler previous = SetMessageBoxHandler(RecordMessage);
  // The setup program's own rule first: the package lies behind the image.
  // A file where nothing can lie there holds none (a program never packed,
  // any other file); what lies there and cannot be read is a damaged one.
  ProgramImage image;
  std::uint32_t headerOffset = 0;
  std::optional<std::string> none;
  if (!ReadProgramImage(file, &image)) {
    none = "holds no package: it is not a Windows program whose headers can be read";
  } else if (image.end > file.Size()) {
    // The program itself is cut short: a damaged file, as the reader says.
  } else if (image.end + layout::kTrailerSize > file.Size()) {
    none = "holds no package: nothing follows its program image";
  } else if (!ReadPackageTrailer(input, &headerOffset) || headerOffset < image.end ||
             headerOffset >= input.dataEnd) {
    none = "holds no package: its last bytes point to no package behind its program image";
  }
  bool read = !none && CheckPackageBehindImage(input, headerOffset) &&
              ReadWholePackage(input, contents.get(), sinks, sinks, collected);
  SetMessageBoxHandler(previous);
  gReaderMessage = nullptr;
  if (none) return Problem{"", *none};
  if (!read) return Problem{"", failure.empty() ? "the package cannot be read" : failure};
  CopyContents(*contents, collected, listing);
  auto architecture = ReadSetupArchitecture(path);
  if (architecture.ok()) listing.architecture = architecture.value();
  listing.scope = SetupScope(file);
  listing.uninstallerRunsAsInvoker = RunsAsInvoker(listing.uninstaller);
  listing.headerImage.resize(layout::kHeaderSize);
  if (!file.Seek(contents->HeaderOffset) ||
      !file.Read(listing.headerImage.data(), layout::kHeaderSize))
    return Problem{"", "the header cannot be read again"};
  PeekDeclaredSizes(file, *contents, listing);
  return listing;
}

Result<Architecture> ReadSetupArchitecture(const std::string& path) {
  auto regular = InputFile::Open(path);
  if (!regular.ok()) return regular.problem();
  StdioPackageFile file;
  if (!file.Open(path.c_str())) return Problem{"", std::strerror(errno)};
  auto kind = ReadImageKind(file);
  if (!kind) {
    PeHeaders headers;
    return Problem{"", ReadPeHeaders(file, &headers)
                           ? "its setup program is for neither x86 nor x64"
                           : "is not a Windows program whose headers can be read"};
  }
  return kind->architecture;
}

}  // namespace packer
