#include "packer/command_line/package_report.h"

#include <cstring>
#include <ctime>
#include <iomanip>
#include <sstream>
#include <vector>

#include "packer/command_line/json_writer.h"
#include "packer/project/code_page.h"
#include "packer/project/destinations.h"
#include "packer/project/text_rules.h"
#include "packer/setup_file/package_listing.h"
#include "packer/setup_file/setup_scope.h"

namespace packer {
namespace {

using layout::kRegistryRootNames;

std::string Destination(std::uint32_t type) {
  return type < layout::kDestinationTypeCount ? kDestinations[type].name
                                              : "type " + std::to_string(type);
}

std::string TimeText(const ListedTime& stamp) {
  if (stamp.stale != 0) {
    // The setup program recomputes the fields from the seconds, in UTC.
    std::time_t seconds = stamp.seconds;
    std::tm fields{};
    gmtime_r(&seconds, &fields);
    char buffer[48];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S (from seconds)", &fields);
    return buffer;
  }
  std::ostringstream text;
  text << std::setfill('0') << std::setw(4) << stamp.year << '-' << std::setw(2) << stamp.month
       << '-' << std::setw(2) << stamp.day << ' ' << std::setw(2) << stamp.hour << ':'
       << std::setw(2) << stamp.minute << ':' << std::setw(2) << stamp.second;
  return text.str();
}

std::string VersionText(const ListedFile& file) {
  if (file.hasVersion != layout::kHasVersionPresent) return "-";
  std::ostringstream text;
  text << file.version[0] << '.' << file.version[1] << '.' << file.version[2] << '.'
       << file.version[3];
  return text.str();
}

std::string FlagsText(const ListedFile& file) {
  std::string flags;
  if (file.replaceIfInUse) flags += " replace-if-in-use";
  if (file.selfRegister) flags += " self-register";
  if (file.sharedDll) flags += " shared";
  return flags.empty() ? "-" : flags.substr(1);
}

void CheckHeaderField(const PackageListing& p, int offset, const char* name,
                      std::vector<std::string>& faults) {
  if (std::memchr(p.headerImage.data() + offset, 0, layout::kTextFieldSize) == nullptr)
    faults.push_back(std::string(name) +
                     " fills its 31 bytes without a NUL (read as its first 30)");
}

// Each setup program writes the uninstaller under its own name, and the
// two must read the same registry view.
void FindArchitectureFaults(const PackageListing& p, std::vector<std::string>& faults) {
  if (!p.architecture) {
    faults.push_back("the setup program is for neither x86 nor x64");
  } else if (p.uninstallerArchitecture && p.uninstallerArchitecture != p.architecture) {
    faults.push_back("the uninstaller is " +
                     DescribeArchitecture(*p.uninstallerArchitecture, "program") +
                     " and the setup program " + DescribeArchitecture(*p.architecture, "one"));
  }
}

// What kind of setup it is, as vtpack list shows it: "Architecture: x64
// (64-bit setup program)" and "Scope: machine (...)", each a line.
std::string KindLines(const PackageListing& p) {
  std::string text = "Architecture: ";
  if (!p.architecture) {
    text += "neither x86 nor x64";
  } else {
    text += std::string(ArchitectureName(*p.architecture)) + (*p.architecture == Architecture::kX64
                                                                  ? " (64-bit setup program)"
                                                                  : " (32-bit setup program)");
  }
  return text + "\nScope: " + ScopeName(p.scope) +
         (p.scope == InstallScope::kUser
              ? " (runs as the user who starts it, installs for them)"
              : " (asks for an administrator, installs for the machine)") +
         "\n";
}

using Faults = std::vector<std::string>;

void FindHeaderFaults(const PackageListing& p, int codePage, Faults& faults) {
  CheckHeaderField(p, layout::kAppNameOffset, "AppName", faults);
  CheckHeaderField(p, layout::kAppVersionOffset, "AppVersion", faults);
  CheckHeaderField(p, layout::kProgramWindowClassOffset, "ProgramWindowClass", faults);
  CheckHeaderField(p, layout::kProgramFileNameOffset, "ProgramFileName", faults);
  if (p.appName.empty()) {
    faults.push_back("AppName is empty");
  } else if (auto refusal = CheckApplicationFolder(p.appName, codePage)) {
    faults.push_back("AppName " + *refusal);
  }
  if (p.runProgramAtEnd && p.programFileName.empty())
    faults.push_back("RunProgramAtEnd is set but ProgramFileName is empty");
  if (p.checkProgramNotRunning && p.programWindowClass.empty())
    faults.push_back("CheckProgramNotRunning is set but ProgramWindowClass is empty");
}

// The sizes the blocks declare against what they hold.
void FindSizeFaults(const PackageListing& p, Faults& faults) {
  if (p.uninstaller.size() != p.uninstallerDeclaredSize)
    faults.push_back("the uninstaller inflates to " + std::to_string(p.uninstaller.size()) +
                     " bytes, not the " + std::to_string(p.uninstallerDeclaredSize) +
                     " its block declares");
  if (p.uninstaller.size() < 2 || p.uninstaller[0] != 'M' || p.uninstaller[1] != 'Z')
    faults.push_back("the uninstaller is not a Windows program (no \"MZ\" at its start)");

  std::uint64_t sum = 0;
  for (const ListedFile& file : p.files) sum += file.fileSize;
  if (p.fileDataDeclaredSize && *p.fileDataDeclaredSize != sum)
    faults.push_back("the file data block declares " + std::to_string(*p.fileDataDeclaredSize) +
                     " bytes but the files hold " + std::to_string(sum));
  if (!p.files.empty() && p.fileDataProduced != sum)
    faults.push_back("the file data holds " + std::to_string(p.fileDataProduced) +
                     " bytes but the files need " + std::to_string(sum));
}

void FindFileFaults(const ListedFile& f, std::size_t number, const PackageListing& p, int codePage,
                    Faults& faults) {
  std::string name = "file " + std::to_string(number) + " (" + f.subDirectory + f.fileName + ")";
  if (auto refusal = CheckFileName(f.fileName, codePage))
    faults.push_back(name + ": FileName " + *refusal);
  SubDirectoryResult sub = NormaliseSubDirectory(f.subDirectory, codePage);
  if (sub.refusal) {
    faults.push_back(name + ": SubDirectory " + *sub.refusal);
  } else if (sub.normalised != f.subDirectory) {
    faults.push_back(name + ": SubDirectory does not end in \"\\\"");
  }
  if (f.destinationType >= layout::kDestinationTypeCount) {
    faults.push_back(name + ": unknown DestinationType " + std::to_string(f.destinationType));
  } else if (!sub.refusal) {
    if (auto refusal = CheckInstalledPathLength(f.destinationType, p.appName, f.subDirectory,
                                                f.fileName, p.scope))
      faults.push_back(name + " " + *refusal);
  }
}

// A per-user package's setup program runs without an administrator, and
// so does its uninstaller: what needs one is no part of it.
void FindPerUserFaults(const PackageListing& p, Faults& faults) {
  const bool perUser = p.scope == InstallScope::kUser;
  if (perUser != p.uninstallerRunsAsInvoker)
    faults.push_back(perUser ? "the setup program runs as its user (a per-user package), but its "
                               "uninstaller does not"
                             : "the uninstaller runs as its user, but the setup program installs "
                               "for the machine");
  if (!perUser) return;
  for (std::size_t i = 0; i < p.files.size(); ++i) {
    const ListedFile& f = p.files[i];
    std::string name = "file " + std::to_string(i + 1) + " (" + f.subDirectory + f.fileName + ")";
    if (f.destinationType != layout::kDestinationApplication)
      faults.push_back(name + ": a per-user package installs into the destination folder only");
    if (f.sharedDll || f.selfRegister)
      faults.push_back(name + ": a per-user package neither counts nor registers files");
  }
  for (const ListedRegistryKey& key : p.registry) {
    if (key.root != layout::kRootCurrentUser)
      faults.push_back(std::string(kRegistryRootNames[key.root]) + "\\" + key.path +
                       ": a per-user package writes HKEY_CURRENT_USER only");
  }
}

// The sections after the files, and what lies behind them.
void FindSectionFaults(const PackageListing& p, Faults& faults) {
  for (const ListedRegistryKey& key : p.registry) {
    for (const auto& [type, text] : key.values) {
      if (text.find('=') == std::string::npos)
        faults.push_back(std::string(kRegistryRootNames[key.root]) + "\\" + key.path +
                         ": value \"" + text + "\" has no \"=\" and would be dropped");
    }
  }
  for (const ListedAssociation& a : p.associations) {
    if (a.extension.empty()) faults.push_back("an association has an empty extension");
  }
  if (p.endOffset != p.trailerOffset)
    faults.push_back(std::to_string(p.trailerOffset - p.endOffset) +
                     " bytes lie between the associations and the trailer");
}

// What the reader accepts but a package that vtpack writes never holds.
Faults FindFaults(const PackageListing& p, int codePage) {
  Faults faults;
  FindHeaderFaults(p, codePage, faults);
  FindSizeFaults(p, faults);
  FindArchitectureFaults(p, faults);
  for (std::size_t i = 0; i < p.files.size(); ++i)
    FindFileFaults(p.files[i], i + 1, p, codePage, faults);
  FindSectionFaults(p, faults);
  FindPerUserFaults(p, faults);
  return faults;
}

std::string IsoTime(const ListedTime& stamp) {
  std::string text = TimeText(stamp);
  text = text.substr(0, text.find(" (from"));
  text[10] = 'T';
  return text + "Z";
}

// Texts of the package, in its code page, as the document's UTF-8.
struct JsonText {
  int codePage;
  std::string operator()(const std::string& bytes) const { return CodePageToUtf8(bytes, codePage); }
};

void WriteHeaderJson(const PackageListing& p, const JsonText& utf8, JsonWriter& json) {
  json.Key("header");
  json.BeginObject();
  for (auto [name, text] :
       {std::make_pair("AppName", &p.appName), std::make_pair("AppVersion", &p.appVersion),
        std::make_pair("ProgramFileName", &p.programFileName),
        std::make_pair("ProgramWindowClass", &p.programWindowClass)}) {
    json.Key(name);
    json.String(utf8(*text));
  }
  for (auto [name, flag] : {std::make_pair("ShowWelcomePage", p.showWelcomePage),
                            std::make_pair("HasLicence", p.hasLicence),
                            std::make_pair("ShowDestinationPage", p.showDestinationPage),
                            std::make_pair("ShowShortcutsPage", p.showShortcutsPage),
                            std::make_pair("RunProgramAtEnd", p.runProgramAtEnd),
                            std::make_pair("CheckProgramNotRunning", p.checkProgramNotRunning)}) {
    json.Key(name);
    json.Bool(flag);
  }
  json.EndObject();
}

void WriteFileJson(const ListedFile& f, const JsonText& utf8, JsonWriter& json) {
  json.BeginObject();
  json.Key("installed-path");
  std::string folder = f.destinationType < layout::kDestinationTypeCount
                           ? kDestinations[f.destinationType].label
                           : "<type " + std::to_string(f.destinationType) + ">";
  json.String(folder + "\\" + utf8(f.subDirectory + f.fileName));
  json.Key("destination");
  json.String(Destination(f.destinationType));
  json.Key("size");
  json.Number(f.fileSize);
  json.Key("version");
  if (f.hasVersion == layout::kHasVersionPresent)
    json.String(VersionText(f));
  else
    json.Null();
  json.Key("time");
  json.String(IsoTime(f.timestamp));
  json.Key("flags");
  json.BeginObject();
  for (auto [name, flag] :
       {std::make_pair("replace-if-in-use", f.replaceIfInUse),
        std::make_pair("self-register", f.selfRegister), std::make_pair("shared", f.sharedDll)}) {
    json.Key(name);
    json.Bool(flag != 0);
  }
  json.EndObject();
  json.EndObject();
}

void WriteRegistryKeyJson(const ListedRegistryKey& key, const JsonText& utf8, JsonWriter& json) {
  json.BeginObject();
  json.Key("root");
  json.String(kRegistryRootNames[key.root]);
  json.Key("key");
  json.String(utf8(key.path));
  json.Key("values");
  json.BeginArray();
  for (const auto& [type, text] : key.values) {
    std::size_t equals = text.find('=');
    json.BeginObject();
    json.Key("name");
    json.String(utf8(text.substr(0, equals)));
    json.Key("type");
    json.Number(type);
    json.Key("data");
    if (equals == std::string::npos)
      json.Null();
    else
      json.String(utf8(text.substr(equals + 1)));
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

void WriteAssociationJson(const ListedAssociation& a, const JsonText& utf8, JsonWriter& json) {
  json.BeginObject();
  for (auto [name, text] :
       {std::make_pair("extension", &a.extension), std::make_pair("type", &a.className),
        std::make_pair("description", &a.description), std::make_pair("program", &a.program),
        std::make_pair("icon", &a.icon)}) {
    json.Key(name);
    json.String(utf8(*text));
  }
  json.Key("icon-index");
  json.Number(a.iconIndex);
  json.EndObject();
}

// The document of docs/project-format.md ("vtpack list --json"); `faults`
// only for verify.
void WriteJson(const std::string& path, const PackageListing& p, int codePage,
               const std::vector<std::string>* faults, std::ostream& out) {
  const JsonText utf8{codePage};
  JsonWriter json(out);
  json.BeginObject();
  json.Key("file");
  json.String(path);
  json.Key("size");
  json.Number(static_cast<std::int64_t>(p.fileSize));
  json.Key("package-offset");
  json.Number(p.headerOffset);
  json.Key("signed");
  json.Bool(p.isSigned);
  json.Key("architecture");
  if (p.architecture)
    json.String(ArchitectureName(*p.architecture));
  else
    json.Null();
  json.Key("scope");
  json.String(ScopeName(p.scope));
  WriteHeaderJson(p, utf8, json);
  json.Key("licence-bytes");
  json.Number(static_cast<std::int64_t>(p.licenceText.size()));
  json.Key("uninstaller-bytes");
  json.Number(static_cast<std::int64_t>(p.uninstaller.size()));
  json.Key("files");
  json.BeginArray();
  for (const ListedFile& f : p.files) WriteFileJson(f, utf8, json);
  json.EndArray();
  json.Key("registry");
  json.BeginArray();
  for (const ListedRegistryKey& key : p.registry) WriteRegistryKeyJson(key, utf8, json);
  json.EndArray();
  json.Key("associations");
  json.BeginArray();
  for (const ListedAssociation& a : p.associations) WriteAssociationJson(a, utf8, json);
  json.EndArray();
  if (faults) {
    json.Key("faults");
    json.BeginArray();
    for (const std::string& fault : *faults) json.String(fault);
    json.EndArray();
  }
  json.EndObject();
}

Result<PackageListing> ReadOrReport(const std::string& path, std::ostream& errors) {
  auto read = ReadPackageListing(path);
  if (!read.ok()) errors << "vtpack: " << path << ": " << read.problem().message << "\n";
  return read;
}

// A text of the package as vtpack list quotes it.
std::string Quote(const std::string& bytes, int codePage) {
  return "\"" + CodePageToUtf8(bytes, codePage) + "\"";
}

// vtpack list's first lines: the file, the scope and the header's fields.
void WriteHeaderText(const std::string& path, const PackageListing& p, int codePage,
                     std::ostream& out) {
  auto text = [codePage](const std::string& bytes) { return Quote(bytes, codePage); };
  auto yesNo = [](bool flag) { return flag ? "yes" : "no"; };
  out << path << ": package at offset " << p.headerOffset << " of " << p.fileSize << " bytes, "
      << (p.isSigned ? "signed (Authenticode; the certificate is not judged)" : "not signed")
      << "\n"
      << KindLines(p) << "Header\n"
      << "  AppName                 " << text(p.appName) << "\n"
      << "  AppVersion              " << text(p.appVersion) << "\n"
      << "  ProgramFileName         " << text(p.programFileName) << "\n"
      << "  ProgramWindowClass      " << text(p.programWindowClass) << "\n"
      << "  ShowWelcomePage         " << yesNo(p.showWelcomePage) << "\n"
      << "  HasLicence              " << yesNo(p.hasLicence);
  if (p.hasLicence) out << " (" << p.licenceText.size() << " bytes of text)";
  out << "\n"
      << "  ShowDestinationPage     " << yesNo(p.showDestinationPage) << "\n"
      << "  ShowShortcutsPage       " << yesNo(p.showShortcutsPage) << "\n"
      << "  RunProgramAtEnd         " << yesNo(p.runProgramAtEnd) << "\n"
      << "  CheckProgramNotRunning  " << yesNo(p.checkProgramNotRunning) << "\n"
      << "Uninstaller: " << p.uninstaller.size() << " bytes\n";
}

// The files, the registry keys and the associations, one line each.
void WriteSectionsText(const PackageListing& p, int codePage, std::ostream& out) {
  out << "Files: " << p.files.size()
      << "  (size, version, time stamp UTC, destination, path, flags)\n";
  for (const ListedFile& f : p.files) {
    out << "  " << std::setw(10) << f.fileSize << "  " << std::left << std::setw(15)
        << VersionText(f) << std::right << "  " << TimeText(f.timestamp) << "  " << std::left
        << std::setw(13) << Destination(f.destinationType) << std::right << "  "
        << CodePageToUtf8(f.subDirectory + f.fileName, codePage) << "  [" << FlagsText(f) << "]\n";
  }
  out << "Registry: " << p.registry.size() << " keys\n";
  for (const ListedRegistryKey& key : p.registry) {
    out << "  " << kRegistryRootNames[key.root] << "\\" << CodePageToUtf8(key.path, codePage)
        << "\n";
    for (const auto& [type, valueText] : key.values) {
      std::string kind = type == 1   ? "text  "
                         : type == 4 ? "number"
                                     : "type " + std::to_string(type);
      out << "    " << kind << "  " << CodePageToUtf8(valueText, codePage) << "\n";
    }
  }
  out << "Associations: " << p.associations.size() << "\n";
  for (const ListedAssociation& a : p.associations) {
    out << "  ." << CodePageToUtf8(a.extension, codePage) << "  " << Quote(a.className, codePage)
        << "  " << Quote(a.description, codePage) << "  program " << Quote(a.program, codePage)
        << "  icon " << Quote(a.icon, codePage) << "," << a.iconIndex << "\n";
  }
}

}  // namespace

int ListPackage(const std::string& path, int codePage, bool json, std::ostream& out,
                std::ostream& errors) {
  auto read = ReadOrReport(path, errors);
  if (!read.ok()) return 1;
  if (json) {
    WriteJson(path, read.value(), codePage, nullptr, out);
    return 0;
  }
  WriteHeaderText(path, read.value(), codePage, out);
  WriteSectionsText(read.value(), codePage, out);
  return 0;
}

int VerifyPackage(const std::string& path, int codePage, bool json, std::ostream& out,
                  std::ostream& errors) {
  auto read = ReadOrReport(path, errors);
  if (!read.ok()) return 1;
  std::vector<std::string> faults = FindFaults(read.value(), codePage);
  for (const std::string& fault : faults) errors << "vtpack: " << path << ": " << fault << "\n";
  const PackageListing& p = read.value();
  if (json) WriteJson(path, p, codePage, &faults, out);
  if (!faults.empty()) return 1;
  if (json) return 0;
  out << path << ": sound: " << p.files.size() << " files, " << p.registry.size()
      << " registry keys, " << p.associations.size() << " associations"
      << (p.isSigned ? "; signed" : "; not signed") << "\n";
  return 0;
}

}  // namespace packer
