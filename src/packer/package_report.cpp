#include "packer/package_report.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <iomanip>
#include <memory>
#include <sstream>
#include <vector>

#include "base/messages.h"
#include "package/header_reader.h"
#include "package/stdio_package_file.h"
#include "package/whole_package.h"
#include "packer/code_page.h"
#include "packer/text_rules.h"

namespace packer {
namespace {

struct ReadRegistryKey {
  layout::RegistryRoot root;
  std::string path;
  std::vector<std::pair<std::uint32_t, std::string>> values;
};

struct ReadAssociation {
  std::string extension, className, description, program, icon;
  std::int32_t iconIndex;
};

class CollectingSinks : public RegistryRecordSink, public AssociationSink {
 public:
  void BeginKey(layout::RegistryRoot root, const SharedString& keyPath) override {
    keys.push_back({root, keyPath.Text(), {}});
  }
  void Value(std::uint32_t type, const SharedString& text) override {
    keys.back().values.emplace_back(type, text.Text());
  }
  void EndKey() override {}
  void Association(const AssociationRecord& r) override {
    associations.push_back({r.Extension.Text(), r.ClassName.Text(), r.Description.Text(),
                            r.ProgramPath.Text(), r.IconPath.Text(), r.IconIndex});
  }
  std::vector<ReadRegistryKey> keys;
  std::vector<ReadAssociation> associations;
};

// The reader reports through message boxes; here they become the reason.
std::string* gReaderMessage = nullptr;
int RecordMessage(const MessageBoxRequest& request) {
  if (gReaderMessage != nullptr && gReaderMessage->empty()) *gReaderMessage = request.text;
  return kAnswerOk;
}

struct ReadPackage {
  StdioPackageFile file;
  ::PackageContents contents;
  CollectingSinks sinks;
  std::string failure;  // empty when everything was read
  std::uint64_t fileSize = 0;
};

std::unique_ptr<ReadPackage> ReadSetupFile(const std::string& path) {
  auto package = std::make_unique<ReadPackage>();
  if (!package->file.Open(path.c_str())) {
    package->failure = std::strerror(errno);
    return package;
  }
  package->fileSize = package->file.Size();
  PackageInput input{&package->file, path.c_str(), kProductCaption};
  gReaderMessage = &package->failure;
  MessageBoxHandler previous = SetMessageBoxHandler(RecordMessage);
  bool read = ReadWholePackage(input, &package->contents, package->sinks, package->sinks);
  SetMessageBoxHandler(previous);
  gReaderMessage = nullptr;
  if (!read && package->failure.empty()) package->failure = "the package cannot be read";
  return package;
}

const char* const kDestinationNames[] = {"app", "windows", "system", "fonts", "program-files", "common-files"};
const char* const kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};

std::string Destination(std::uint32_t type) {
  return type < layout::kDestinationTypeCount ? kDestinationNames[type] : "type " + std::to_string(type);
}

std::string TimeText(const DateTime& stamp) {
  std::ostringstream text;
  text << std::setfill('0');
  if (stamp.stale == 0) {
    text << std::setw(4) << stamp.year + 1900 << '-' << std::setw(2) << stamp.month + 1 << '-'
         << std::setw(2) << stamp.day << ' ' << std::setw(2) << stamp.hour << ':' << std::setw(2)
         << stamp.minute << ':' << std::setw(2) << stamp.second;
  } else {
    std::time_t seconds = stamp.seconds;
    std::tm fields{};
    gmtime_r(&seconds, &fields);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &fields);
    text << buffer << " (from seconds)";
  }
  return text.str();
}

std::string VersionText(const FileRecord& record) {
  if (record.HasVersion != layout::kHasVersionPresent) return "-";
  std::ostringstream text;
  text << record.FileVersion[0] << '.' << record.FileVersion[1] << '.' << record.FileVersion[2] << '.'
       << record.FileVersion[3];
  return text.str();
}

std::string FlagsText(const FileRecord& record) {
  std::string flags;
  if (record.ReplaceIfInUse) flags += " replace-if-in-use";
  if (record.SelfRegister) flags += " self-register";
  if (record.SharedDll) flags += " shared";
  return flags.empty() ? "-" : flags.substr(1);
}

// Reads 4-byte little-endian fields at absolute offsets, beside the reader,
// for the checks that need a block's stored sizes.
struct Peek {
  StdioPackageFile& file;
  bool U32(std::uint64_t offset, std::uint32_t* value) {
    unsigned char bytes[4];
    if (!file.Seek(offset) || !file.Read(bytes, 4)) return false;
    *value = LoadU32(bytes);
    return true;
  }
};

std::uint64_t SerialisedSize(const FileRecord& record) {
  std::uint64_t size = 4 + record.FileName.Length() + 1 + 4 + record.SubDirectory.Length() + 1 +
                       layout::kDateTimeImageSize + 4 + 12;
  if (record.HasVersion == layout::kHasVersionPresent) size += layout::kFileVersionSize;
  return size;
}

void CheckHeaderField(const unsigned char* image, int offset, const char* name, std::vector<std::string>& faults) {
  if (std::memchr(image + offset, 0, layout::kTextFieldSize) == nullptr)
    faults.push_back(std::string(name) + " fills its 31 bytes without a NUL (read as its first 30)");
}

std::vector<std::string> FindFaults(ReadPackage& package) {
  std::vector<std::string> faults;
  const ::PackageContents& c = package.contents;
  StdioPackageFile& file = package.file;
  Peek peek{file};

  unsigned char image[layout::kHeaderSize];
  if (file.Seek(c.HeaderOffset) && file.Read(image, sizeof image)) {
    CheckHeaderField(image, layout::kAppNameOffset, "AppName", faults);
    CheckHeaderField(image, layout::kAppVersionOffset, "AppVersion", faults);
    CheckHeaderField(image, layout::kProgramWindowClassOffset, "ProgramWindowClass", faults);
    CheckHeaderField(image, layout::kProgramFileNameOffset, "ProgramFileName", faults);
  }
  if (c.Header.AppName[0] == 0) faults.push_back("AppName is empty");
  if (c.Header.RunProgramAtEnd && c.Header.ProgramFileName[0] == 0)
    faults.push_back("RunProgramAtEnd is set but ProgramFileName is empty");
  if (c.Header.CheckProgramNotRunning && c.Header.ProgramWindowClass[0] == 0)
    faults.push_back("CheckProgramNotRunning is set but ProgramWindowClass is empty");

  // D1: the uninstaller inflates to exactly its stored size and is a program.
  std::uint32_t compressed = 0, declared = 0;
  if (peek.U32(c.DataOffset, &compressed) && peek.U32(c.DataOffset + 4, &declared)) {
    if (c.Uninstaller.Length() != declared)
      faults.push_back("the uninstaller inflates to " + std::to_string(c.Uninstaller.Length()) +
                       " bytes, not the " + std::to_string(declared) + " its block declares");
  }
  if (c.Uninstaller.Length() < 2 || c.Uninstaller.Data()[0] != 'M' || c.Uninstaller.Data()[1] != 'Z')
    faults.push_back("the uninstaller is not a Windows program (no \"MZ\" at its start)");

  // D3: the file data is exactly the files, end to end.
  std::uint64_t sum = 0, tableSize = 4;
  for (int i = 0; i < c.Files.Count(); ++i) {
    sum += c.Files[i].FileSize;
    tableSize += SerialisedSize(c.Files[i]);
  }
  if (c.Files.Count() > 0) {
    std::uint64_t dataBlock = c.DataOffset + layout::kStoredBlockFramingSize + compressed + tableSize;
    std::uint32_t declaredData = 0;
    if (peek.U32(dataBlock + 4, &declaredData) && declaredData != sum)
      faults.push_back("the file data block declares " + std::to_string(declaredData) +
                       " bytes but the files hold " + std::to_string(sum));
    if (c.FileData.Length() != sum)
      faults.push_back("the file data holds " + std::to_string(c.FileData.Length()) +
                       " bytes but the files need " + std::to_string(sum));
  }
  for (int i = 0; i < c.Files.Count(); ++i) {
    const FileRecord& r = c.Files[i];
    std::string name = "file " + std::to_string(i + 1) + " (" + r.SubDirectory.Text() + r.FileName.Text() + ")";
    if (auto refusal = CheckFileName(r.FileName.Text())) faults.push_back(name + ": FileName " + *refusal);
    SubDirectoryResult sub = NormaliseSubDirectory(r.SubDirectory.Text());
    if (sub.refusal) faults.push_back(name + ": SubDirectory " + *sub.refusal);
    else if (sub.normalised != r.SubDirectory.Text()) faults.push_back(name + ": SubDirectory does not end in \"\\\"");
    if (r.DestinationType >= layout::kDestinationTypeCount)
      faults.push_back(name + ": unknown DestinationType " + std::to_string(r.DestinationType));
  }
  for (const ReadRegistryKey& key : package.sinks.keys) {
    for (const auto& [type, text] : key.values) {
      if (text.find('=') == std::string::npos)
        faults.push_back(std::string(kRootNames[key.root]) + "\\" + key.path + ": value \"" + text +
                         "\" has no \"=\" and would be dropped");
    }
  }
  for (const ReadAssociation& a : package.sinks.associations) {
    if (a.extension.empty()) faults.push_back("an association has an empty extension");
  }
  if (c.EndOffset + layout::kTrailerSize != package.fileSize)
    faults.push_back(std::to_string(package.fileSize - layout::kTrailerSize - c.EndOffset) +
                     " bytes lie between the associations and the trailer");
  return faults;
}

}  // namespace

int ListPackage(const std::string& path, int codePage, std::ostream& out, std::ostream& errors) {
  auto package = ReadSetupFile(path);
  if (!package->failure.empty()) {
    errors << "vtpack: " << path << ": " << package->failure << "\n";
    return 1;
  }
  const ::PackageContents& c = package->contents;
  const PackageHeader& h = c.Header;
  auto text = [&](const std::string& bytes) { return "\"" + CodePageToUtf8(bytes, codePage) + "\""; };
  auto yesNo = [](unsigned char flag) { return flag ? "yes" : "no"; };
  out << path << ": package at offset " << c.HeaderOffset << " of " << package->fileSize << " bytes\n"
      << "Header\n"
      << "  AppName                 " << text(h.AppName) << "\n"
      << "  AppVersion              " << text(h.AppVersion) << "\n"
      << "  ProgramFileName         " << text(h.ProgramFileName) << "\n"
      << "  ProgramWindowClass      " << text(h.ProgramWindowClass) << "\n"
      << "  ShowWelcomePage         " << yesNo(h.ShowWelcomePage) << "\n"
      << "  HasLicence              " << yesNo(h.HasLicence);
  if (h.HasLicence) out << " (" << c.LicenceText.Length() << " bytes of text)";
  out << "\n"
      << "  ShowDestinationPage     " << yesNo(h.ShowDestinationPage) << "\n"
      << "  ShowShortcutsPage       " << yesNo(h.ShowShortcutsPage) << "\n"
      << "  RunProgramAtEnd         " << yesNo(h.RunProgramAtEnd) << "\n"
      << "  CheckProgramNotRunning  " << yesNo(h.CheckProgramNotRunning) << "\n"
      << "Uninstaller: " << c.Uninstaller.Length() << " bytes\n"
      << "Files: " << c.Files.Count() << "\n";
  for (int i = 0; i < c.Files.Count(); ++i) {
    const FileRecord& r = c.Files[i];
    DateTime stamp = r.FileTimestamp;
    out << "  " << std::setw(10) << r.FileSize << "  " << std::left << std::setw(15) << VersionText(r)
        << std::right << "  " << TimeText(stamp) << "  " << std::left << std::setw(13)
        << Destination(r.DestinationType) << std::right << "  "
        << CodePageToUtf8(std::string(r.SubDirectory.Text()) + r.FileName.Text(), codePage)
        << "  [" << FlagsText(r) << "]\n";
  }
  out << "Registry: " << package->sinks.keys.size() << " keys\n";
  for (const ReadRegistryKey& key : package->sinks.keys) {
    out << "  " << kRootNames[key.root] << "\\" << CodePageToUtf8(key.path, codePage) << "\n";
    for (const auto& [type, valueText] : key.values) {
      std::string kind = type == 1 ? "text" : type == 4 ? "number" : "number (type " + std::to_string(type) + ")";
      out << "    " << kind << "  " << CodePageToUtf8(valueText, codePage) << "\n";
    }
  }
  out << "Associations: " << package->sinks.associations.size() << "\n";
  for (const ReadAssociation& a : package->sinks.associations) {
    out << "  ." << CodePageToUtf8(a.extension, codePage) << "  " << text(a.className)
        << "  " << text(a.description) << "  program " << text(a.program) << "  icon "
        << text(a.icon) << "," << a.iconIndex << "\n";
  }
  return 0;
}

int VerifyPackage(const std::string& path, std::ostream& out, std::ostream& errors) {
  auto package = ReadSetupFile(path);
  if (!package->failure.empty()) {
    errors << "vtpack: " << path << ": " << package->failure << "\n";
    return 1;
  }
  std::vector<std::string> faults = FindFaults(*package);
  for (const std::string& fault : faults) errors << "vtpack: " << path << ": " << fault << "\n";
  if (!faults.empty()) return 1;
  out << path << ": package sound: " << package->contents.Files.Count() << " files, "
      << package->sinks.keys.size() << " registry keys, " << package->sinks.associations.size()
      << " associations\n";
  return 0;
}

}  // namespace packer
