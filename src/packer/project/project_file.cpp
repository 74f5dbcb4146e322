#include "packer/project/project_file.h"

#include <set>
#include <sstream>
#include <tuple>

#include <toml++/toml.h>

#include "base/uninstall_key.h"
#include "packer/file_io.h"
#include "packer/project/code_page.h"
#include "packer/project/destinations.h"
#include "packer/project/project_paths.h"
#include "packer/project/source_tree.h"
#include "packer/project/text_rules.h"
#include "packer/project/uninstall_entry.h"
#include "packer/project/variables.h"
#include "packer/project/winget_rules.h"

namespace packer {
namespace {

int LineOf(const toml::node& node) { return static_cast<int>(node.source().begin.line); }

// Walks one table of the project file: typed lookups that name the entry
// in their Problems, and a check that no key is left unknown.
class TableReader {
 public:
  TableReader(const toml::table& table, std::string prefix, int codePage,
              const Variables& variables)
      : table_(table), prefix_(std::move(prefix)), codePage_(codePage), variables_(variables) {}
  TableReader Below(const toml::table& table, std::string prefix) const {
    return TableReader(table, std::move(prefix), codePage_, variables_);
  }

  Check AllowOnly(std::initializer_list<const char*> keys) const {
    std::set<std::string> allowed(keys.begin(), keys.end());
    for (auto&& [key, node] : table_) {
      if (!allowed.count(std::string(key.str())))
        return Problem{Entry(std::string(key.str())), "unknown key", LineOf(node)};
    }
    return std::nullopt;
  }

  const toml::node* Find(const char* key) const { return table_.get(key); }
  bool Has(const char* key) const { return Find(key) != nullptr; }

  std::string Entry(const std::string& key) const {
    return prefix_.empty() ? key : prefix_ + "." + key;
  }
  EntryName Name(const char* key) const {
    const toml::node* node = Find(key);
    return {Entry(key), node ? LineOf(*node) : LineOf(table_)};
  }
  Problem Fail(const char* key, std::string message) const {
    EntryName name = Name(key);
    return Problem{name.entry, std::move(message), name.line};
  }

  // A UTF-8 string with its variables expanded (paths). `globPattern`, when
  // given, gets the pattern that only the file's own text makes.
  Check Utf8(const char* key, std::string* out, bool required = false,
             std::string* globPattern = nullptr) const {
    const toml::node* node = Find(key);
    if (!node) return required ? Check(Fail(key, "is missing")) : std::nullopt;
    if (!node->is_string()) return Fail(key, "must be a string");
    auto expanded = ExpandVariables(node->as_string()->get(), variables_, globPattern);
    if (!expanded.ok()) return Fail(key, expanded.problem().message);
    *out = expanded.value();
    return std::nullopt;
  }

  // An array of strings, each a pattern as in Utf8.
  Check Patterns(const char* key, std::vector<std::string>* out) const {
    const toml::node* node = Find(key);
    if (!node) return std::nullopt;
    const toml::array* array = node->as_array();
    if (!array) return Fail(key, "must be an array of strings");
    for (const toml::node& element : *array) {
      if (!element.is_string()) return Fail(key, "must be an array of strings");
      std::string pattern;
      auto expanded = ExpandVariables(element.as_string()->get(), variables_, &pattern);
      if (!expanded.ok()) return Fail(key, expanded.problem().message);
      out->push_back(pattern);
    }
    return std::nullopt;
  }

  const Variables& GivenVariables() const { return variables_; }

  // A string converted to the package's code page.
  Check Text(const char* key, std::string* out, bool required = false) const {
    std::string utf8;
    if (auto problem = Utf8(key, &utf8, required)) return problem;
    if (!Has(key)) return std::nullopt;
    if (utf8.find('\0') != std::string::npos) return Fail(key, "contains a NUL character");
    auto converted = Utf8ToCodePage(utf8, codePage_);
    if (!converted)
      return Fail(key, "\"" + utf8 + "\" has a character that is not in code page " +
                           std::to_string(codePage_));
    *out = *converted;
    return std::nullopt;
  }

  // A text of the package header: at most 30 bytes in the code page.
  Check HeaderText(const char* key, std::string* out, bool required = false) const {
    if (auto problem = Text(key, out, required)) return problem;
    if (out->size() > static_cast<std::size_t>(layout::kMaxTextLength))
      return Fail(key, "is " + std::to_string(out->size()) + " bytes long in code page " +
                           std::to_string(codePage_) + "; at most " +
                           std::to_string(layout::kMaxTextLength) + " fit");
    return std::nullopt;
  }

  Check Bool(const char* key, bool* out) const {
    const toml::node* node = Find(key);
    if (!node) return std::nullopt;
    if (!node->is_boolean()) return Fail(key, "must be true or false");
    *out = node->as_boolean()->get();
    return std::nullopt;
  }

  Check Integer(const char* key, std::int64_t* out) const {
    const toml::node* node = Find(key);
    if (!node) return std::nullopt;
    if (!node->is_integer()) return Fail(key, "must be an integer");
    *out = node->as_integer()->get();
    return std::nullopt;
  }

  // An array of tables ([[key]]); empty when absent.
  Result<std::vector<const toml::table*>> Tables(const char* key) const {
    std::vector<const toml::table*> tables;
    const toml::node* node = Find(key);
    if (!node) return tables;
    const toml::array* array = node->as_array();
    if (!array) return Fail(key, "must be written as [[" + std::string(key) + "]] tables");
    for (const toml::node& element : *array) {
      if (!element.is_table())
        return Fail(key, "must be written as [[" + std::string(key) + "]] tables");
      tables.push_back(element.as_table());
    }
    return tables;
  }

  const toml::table& Table() const { return table_; }

 private:
  const toml::table& table_;
  std::string prefix_;
  int codePage_;
  const Variables& variables_;
};

std::string Indexed(const char* name, std::size_t index) {
  return std::string(name) + "[" + std::to_string(index + 1) + "]";
}

// "x86" (the default) or "x64"; ${...} may choose it, so that one project
// builds both.
Check ReadArchitecture(const TableReader& table, Project& project) {
  project.architectureEntry = table.Name("architecture");
  std::string name;
  if (auto p = table.Utf8("architecture", &name)) return p;
  if (!table.Has("architecture")) return std::nullopt;
  auto architecture = ArchitectureNamed(name);
  if (!architecture)
    return table.Fail("architecture", "is \"" + name +
                                          "\"; it must be \"x86\" (the 32-bit setup program, "
                                          "for every Windows) or \"x64\" (the 64-bit one)");
  project.settings.application.architecture = *architecture;
  return std::nullopt;
}

// The texts that only winget's manifests use, held to winget's rules.
Check ReadPublishingFacts(const TableReader& table, Application& app) {
  const struct {
    const char* key;
    std::string* text;
    std::size_t least, most;
  } texts[] = {{"description", &app.description, 3, 256},
               {"licence-name", &app.licenceName, 3, 512},
               {"copyright", &app.copyright, 3, 512}};
  for (const auto& t : texts) {
    if (auto p = table.Utf8(t.key, t.text)) return p;
    if (!table.Has(t.key)) continue;
    if (auto refusal = CheckTextLength(*t.text, t.least, t.most))
      return table.Fail(t.key, *refusal);
  }
  if (auto p = table.Utf8("id", &app.id)) return p;
  if (table.Has("id")) {
    if (auto refusal = CheckPackageIdentifier(app.id)) return table.Fail("id", *refusal);
  }
  if (auto p = table.Utf8("locale", &app.locale)) return p;
  if (table.Has("locale")) {
    if (auto refusal = CheckPackageLocale(app.locale)) return table.Fail("locale", *refusal);
  }
  return std::nullopt;
}

Check ReadApplication(const TableReader& file, Project& project) {
  const toml::node* node = file.Find("application");
  if (!node)
    return file.Fail("application", "is missing: the [application] table names the program");
  if (!node->is_table()) return file.Fail("application", "must be a table ([application])");
  TableReader table = file.Below(*node->as_table(), "application");
  if (auto p =
          table.AllowOnly({"name", "version", "version-from-program", "program", "window-class",
                           "licence", "icon", "publisher", "url", "scope", "id", "description",
                           "licence-name", "copyright", "locale", "architecture"}))
    return p;
  if (auto p = ReadArchitecture(table, project)) return p;
  Application& app = project.settings.application;
  std::string scope = "machine";
  if (auto p = table.Utf8("scope", &scope)) return p;
  if (scope != "machine" && scope != "user")
    return table.Fail("scope", "\"" + scope +
                                   "\" is unknown; use \"machine\" (every user, installed by an "
                                   "administrator) or \"user\" (the user who runs setup)");
  app.scope = scope == "user" ? InstallScope::kUser : InstallScope::kMachine;
  if (auto p = table.HeaderText("name", &app.name, true)) return p;
  if (app.name.empty()) return table.Fail("name", "is empty");
  if (auto refusal = CheckApplicationFolder(app.name, project.codePage))
    return table.Fail("name", *refusal);
  if (auto p = table.HeaderText("version", &app.version)) return p;
  if (auto p = table.HeaderText("program", &app.programFile)) return p;
  if (!app.programFile.empty()) {
    if (auto refusal = CheckFileName(app.programFile, project.codePage))
      return table.Fail("program", *refusal);
  }
  if (auto p = table.HeaderText("window-class", &app.windowClass)) return p;
  if (auto p = table.Bool("version-from-program", &project.versionFromProgram)) return p;
  if (project.versionFromProgram) {
    project.versionFromProgramEntry = table.Name("version-from-program");
    if (table.Has("version"))
      return table.Fail("version-from-program",
                        "and application.version both give AppVersion; keep one");
    if (app.programFile.empty())
      return table.Fail("version-from-program",
                        "needs application.program, whose version resource gives AppVersion");
  }
  for (auto [key, path, entry] :
       {std::make_tuple("licence", &project.licencePath, &project.licenceEntry),
        std::make_tuple("icon", &project.iconPath, &project.iconEntry)}) {
    std::string text;
    if (auto p = table.Utf8(key, &text)) return p;
    if (!table.Has(key)) continue;
    if (text.empty()) return table.Fail(key, "is empty");
    *path = text;
    *entry = table.Name(key);
  }
  for (auto [key, text] :
       {std::make_pair("publisher", &app.publisher), std::make_pair("url", &app.url)}) {
    if (auto p = table.Text(key, text)) return p;
    if (table.Has(key) && text->empty()) return table.Fail(key, "is empty");
  }
  return ReadPublishingFacts(table, app);
}

Check ReadSetupOptions(const TableReader& file, Project& project) {
  const toml::node* node = file.Find("setup");
  if (!node) return std::nullopt;
  if (!node->is_table()) return file.Fail("setup", "must be a table ([setup])");
  TableReader table = file.Below(*node->as_table(), "setup");
  if (auto p = table.AllowOnly({"welcome-page", "destination-page", "shortcuts-page",
                                "run-program-at-end", "check-program-not-running"}))
    return p;
  SetupOptions& options = project.settings.options;
  if (auto p = table.Bool("welcome-page", &options.showWelcomePage)) return p;
  if (auto p = table.Bool("destination-page", &options.showDestinationPage)) return p;
  if (auto p = table.Bool("shortcuts-page", &options.showShortcutsPage)) return p;
  if (auto p = table.Bool("run-program-at-end", &options.runProgramAtEnd)) return p;
  if (auto p = table.Bool("check-program-not-running", &options.checkProgramNotRunning)) return p;
  if (options.runProgramAtEnd && project.settings.application.programFile.empty())
    return table.Fail("run-program-at-end", "needs application.program, the program to run");
  if (options.checkProgramNotRunning && project.settings.application.windowClass.empty())
    return table.Fail("check-program-not-running",
                      "needs application.window-class, the window to look for");
  // The header has no place for the vendor's choice of shortcuts: setup
  // makes all that the page would have offered ticked.
  if (!options.showShortcutsPage)
    project.warnings.push_back(
        table.Fail("shortcuts-page",
                   "is false: setup then makes all three shortcuts, in the Programs menu, on "
                   "the desktop and in the Startup folder, so the program starts at every "
                   "logon; the package has no place for another choice"));
  return std::nullopt;
}

std::optional<FileVersion> ParseVersion(const std::string& text) {
  FileVersion version;
  std::uint16_t* parts[] = {&version.major, &version.minor, &version.build, &version.revision};
  std::istringstream in(text);
  std::string piece;
  int count = 0;
  while (std::getline(in, piece, '.')) {
    if (count == 4 || piece.empty() || piece.size() > 5 ||
        piece.find_first_not_of("0123456789") != std::string::npos)
      return std::nullopt;
    unsigned long value = std::stoul(piece);
    if (value > 65535) return std::nullopt;
    *parts[count++] = static_cast<std::uint16_t>(value);
  }
  if (count == 0 || text.back() == '.') return std::nullopt;
  return version;
}

Check ReadExcludes(const TableReader& table, FileSpec& fileSpec) {
  if (auto p = table.Patterns("exclude", &fileSpec.excludes)) return p;
  if (!table.Has("exclude")) return std::nullopt;
  fileSpec.exclude = table.Name("exclude");
  if (!fileSpec.isGlob)
    return table.Fail(
        "exclude",
        "needs a pattern in source (\"dist/**\"); a single file has nothing to leave out");
  for (const std::string& pattern : fileSpec.excludes) {
    auto parsed = ParseExcludePattern(pattern);
    if (!parsed.ok()) return table.Fail("exclude", parsed.problem().message);
  }
  return std::nullopt;
}

// What a per-user package refuses: it runs without an administrator.
constexpr const char* kNeedsAdministrator =
    ", which needs an administrator, and a per-user package (application.scope = \"user\") "
    "runs without one";

// A per-user file lands in the destination folder and is neither counted
// nor registered: those write the machine's folders and keys.
Check CheckPerUserFile(const TableReader& table, const FileSpec& fileSpec,
                       const std::string& destination) {
  if (fileSpec.placement.destination != layout::kDestinationApplication)
    return table.Fail("destination", "\"" + destination + "\" is a folder of the machine" +
                                         kNeedsAdministrator + ": install into \"app\"");
  if (fileSpec.placement.sharedDll)
    return table.Fail(
        "shared", std::string("counts the file under HKEY_LOCAL_MACHINE") + kNeedsAdministrator);
  if (fileSpec.placement.selfRegister)
    return table.Fail("self-register", std::string("registers the file for the whole machine") +
                                           kNeedsAdministrator);
  return std::nullopt;
}

Result<FileSpec> ReadFileSpec(const TableReader& table, int codePage, InstallScope scope) {
  if (auto p = table.AllowOnly({"source", "exclude", "destination", "subfolder", "name", "version",
                                "replace-if-in-use", "self-register", "shared"}))
    return *p;
  FileSpec fileSpec;
  // Only what the project file writes is a pattern: the values of ${...}
  // are taken literally.
  std::string globPattern;
  if (auto p = table.Utf8("source", &fileSpec.pattern, true, &globPattern)) return *p;
  if (fileSpec.pattern.empty()) return table.Fail("source", "is empty");
  fileSpec.source = table.Name("source");
  fileSpec.isGlob = HasGlobCharacters(globPattern);
  if (fileSpec.isGlob) fileSpec.globPattern = globPattern;
  if (auto p = ReadExcludes(table, fileSpec)) return *p;

  std::string destination = "app";
  if (auto p = table.Utf8("destination", &destination)) return *p;
  auto found = FindDestination(destination);
  if (!found)
    return table.Fail("destination",
                      "\"" + destination + "\" is unknown; use " + DestinationNameList());
  fileSpec.placement.destination = *found;

  std::string subfolder;
  if (auto p = table.Text("subfolder", &subfolder)) return *p;
  SubDirectoryResult sub = NormaliseSubDirectory(subfolder, codePage);
  if (sub.refusal) return table.Fail("subfolder", *sub.refusal);
  fileSpec.placement.subDirectory = sub.normalised;

  if (auto p = table.Text("name", &fileSpec.fileName)) return *p;
  if (table.Has("name")) {
    if (fileSpec.isGlob) return table.Fail("name", "cannot rename the files of a glob");
    if (auto refusal = CheckFileName(fileSpec.fileName, codePage))
      return table.Fail("name", *refusal);
  }

  std::string version;
  if (auto p = table.Utf8("version", &version)) return *p;
  if (table.Has("version")) {
    if (version == "none") {
      fileSpec.versionChoice = VersionChoice::kNone;
    } else if (auto parsed = ParseVersion(version)) {
      fileSpec.versionChoice = VersionChoice::kGiven;
      fileSpec.version = *parsed;
    } else {
      return table.Fail("version", "\"" + version +
                                       "\" is not a version: up to four numbers 0 to 65535 "
                                       "separated by dots, or \"none\"");
    }
  }
  if (auto p = table.Bool("replace-if-in-use", &fileSpec.placement.replaceIfInUse)) return *p;
  if (auto p = table.Bool("self-register", &fileSpec.placement.selfRegister)) return *p;
  if (auto p = table.Bool("shared", &fileSpec.placement.sharedDll)) return *p;
  if (scope == InstallScope::kUser) {
    if (auto p = CheckPerUserFile(table, fileSpec, destination)) return *p;
  }
  return fileSpec;
}

// A root by its name or its short name.
std::optional<layout::RegistryRoot> FindRegistryRoot(const std::string& name) {
  for (int root = 0; root < layout::kRegistryRootCount; ++root) {
    if (name == layout::kRegistryRootNames[root] || name == layout::kRegistryRootShortNames[root])
      return static_cast<layout::RegistryRoot>(root);
  }
  return std::nullopt;
}

// "HKEY_CLASSES_ROOT, ... or HKEY_USERS (or HKCR, HKCU, HKLM, HKU)".
std::string RegistryRootNameList() {
  const auto* names = layout::kRegistryRootNames;
  const auto* shortNames = layout::kRegistryRootShortNames;
  return JoinWords({names, names + layout::kRegistryRootCount}, " or ") + " (or " +
         JoinWords({shortNames, shortNames + layout::kRegistryRootCount}, ", ") + ")";
}

// A per-user package writes the user's own keys alone.
Check CheckPerUserRoot(const TableReader& table, const Project& project,
                       const std::string& rootName, layout::RegistryRoot root) {
  if (project.settings.application.scope != InstallScope::kUser || root == layout::kRootCurrentUser)
    return std::nullopt;
  const char* const whose[] = {"holds the machine's file types", "", "is the machine's",
                               "holds every user's keys"};
  return table.Fail("root", rootName + " " + whose[root] + kNeedsAdministrator +
                                ": write HKEY_CURRENT_USER" +
                                (root == layout::kRootClasses ? "\\Software\\Classes" : ""));
}

Check ReadRegistryKey(const TableReader& table, Project& project) {
  if (auto p = table.AllowOnly({"root", "key", "values"})) return p;
  std::string rootName;
  if (auto p = table.Utf8("root", &rootName, true)) return p;
  auto root = FindRegistryRoot(rootName);
  if (!root)
    return table.Fail("root", "\"" + rootName + "\" is unknown; use " + RegistryRootNameList());
  if (auto p = CheckPerUserRoot(table, project, rootName, *root)) return p;
  RegistryKey key;
  if (auto p = table.Text("key", &key.path, true)) return p;
  if (auto refusal = CheckRegistryKeyPath(key.path, project.codePage))
    return table.Fail("key", *refusal);

  const toml::node* valuesNode = table.Find("values");
  if (valuesNode) {
    if (!valuesNode->is_table()) return table.Fail("values", "must be a table of name = value");
    TableReader values = table.Below(*valuesNode->as_table(), table.Entry("values"));
    for (auto&& entryPair : values.Table()) {
      const toml::node& node = entryPair.second;
      std::string utf8Name(entryPair.first.str());
      const std::string entry = values.Entry("\"" + utf8Name + "\"");
      auto fail = [&](const std::string& message) { return Problem{entry, message, LineOf(node)}; };
      auto name = Utf8ToCodePage(utf8Name, project.codePage);
      if (!name)
        return fail("the name has a character that is not in code page " +
                    std::to_string(project.codePage));
      if (auto refusal = CheckRegistryValueName(*name, project.codePage))
        return fail("the name " + *refusal);
      RegistryValue value;
      if (node.is_string()) {
        auto expanded = ExpandVariables(node.as_string()->get(), table.GivenVariables());
        if (!expanded.ok()) return fail(expanded.problem().message);
        const std::string& utf8Data = expanded.value();
        if (utf8Data.find('\0') != std::string::npos) return fail("contains a NUL character");
        auto data = Utf8ToCodePage(utf8Data, project.codePage);
        if (!data)
          return fail("has a character that is not in code page " +
                      std::to_string(project.codePage));
        value.type = kRegistryTypeText;
        value.text = *name + "=" + *data;
      } else if (node.is_integer()) {
        auto number = RegistryNumberText(node.as_integer()->get());
        if (!number) return fail("does not fit 32 bits (-2147483648 to 4294967295)");
        value.type = kRegistryTypeNumber;
        value.text = *name + "=" + *number;
      } else {
        return fail("must be a string (text value) or an integer (number value)");
      }
      key.values.push_back(std::move(value));
    }
  }
  project.settings.registry[*root].push_back(std::move(key));
  return std::nullopt;
}

Check ReadAssociation(const TableReader& table, Project& project) {
  if (auto p =
          table.AllowOnly({"extension", "type", "description", "program", "icon", "icon-index"}))
    return p;
  Association a;
  if (auto p = table.Text("extension", &a.extension, true)) return p;
  if (!a.extension.empty() && a.extension[0] == '.') a.extension.erase(0, 1);
  if (a.extension.empty()) return table.Fail("extension", "is empty");
  if (ContainsCharacter(a.extension, "\\/. ", project.codePage))
    return table.Fail("extension", "must be one word without \".\", \"\\\", \"/\" or blanks");
  if (auto p = table.Text("type", &a.typeName, true)) return p;
  if (auto refusal = CheckRegistryKeyPath(a.typeName, project.codePage))
    return table.Fail("type", *refusal);
  if (auto p = table.Text("description", &a.description)) return p;
  if (auto p = table.Text("program", &a.program, true)) return p;
  if (a.program.empty()) return table.Fail("program", "is empty");
  a.icon = a.program;
  if (auto p = table.Text("icon", &a.icon)) return p;
  std::int64_t index = 0;
  if (auto p = table.Integer("icon-index", &index)) return p;
  if (index < INT32_MIN || index > INT32_MAX)
    return table.Fail("icon-index", "does not fit 32 bits");
  a.iconIndex = static_cast<std::int32_t>(index);
  project.settings.associations.push_back(std::move(a));
  return std::nullopt;
}

// The publisher and the web address go into the application's Uninstall
// entry as registry records of the package, so the layout stays as it is;
// setup writes the entry's other values itself.

void AddUninstallEntryValues(Project& project) {
  const Application& app = project.settings.application;
  RegistryKey key{UninstallEntryPath(app.name), {}};
  // In byte order of their names, as the values of every key.
  if (!app.publisher.empty())
    key.values.push_back({kRegistryTypeText, std::string(kPublisherValue) + "=" + app.publisher});
  if (!app.url.empty())
    key.values.push_back({kRegistryTypeText, std::string(kUrlInfoAboutValue) + "=" + app.url});
  // The entry lies where setup writes it: the user's own for a per-user
  // package.
  if (!key.values.empty())
    project.settings.registry[UninstallEntryRoot(app.scope)].push_back(std::move(key));
}

Check ReadProject(const toml::table& root, const Variables& variables, Project& project) {
  TableReader file(root, "", kDefaultCodePage, variables);
  if (auto p = file.AllowOnly(
          {"code-page", "application", "setup", "files", "registry", "associations"}))
    return p;
  std::int64_t codePage = kDefaultCodePage;
  if (auto p = file.Integer("code-page", &codePage)) return p;
  if (codePage <= 0 || codePage > 65535 || !IsWindowsAnsiCodePage(static_cast<int>(codePage)))
    return file.Fail("code-page",
                     std::to_string(codePage) +
                         " is not a Windows ANSI code page; use 874, 932, 936, 949, 950 "
                         "or 1250 to 1258");
  project.codePage = static_cast<int>(codePage);
  TableReader top(root, "", project.codePage, variables);

  if (auto p = ReadApplication(top, project)) return p;
  if (auto p = ReadSetupOptions(top, project)) return p;

  auto files = top.Tables("files");
  if (!files.ok()) return files.problem();
  for (std::size_t i = 0; i < files.value().size(); ++i) {
    auto fileSpec = ReadFileSpec(top.Below(*files.value()[i], Indexed("files", i)),
                                 project.codePage, project.settings.application.scope);
    if (!fileSpec.ok()) return fileSpec.problem();
    project.files.push_back(std::move(fileSpec.value()));
  }
  auto keys = top.Tables("registry");
  if (!keys.ok()) return keys.problem();
  for (std::size_t i = 0; i < keys.value().size(); ++i) {
    TableReader table = top.Below(*keys.value()[i], Indexed("registry", i));
    if (auto p = ReadRegistryKey(table, project)) return p;
  }
  auto associations = top.Tables("associations");
  if (!associations.ok()) return associations.problem();
  for (std::size_t i = 0; i < associations.value().size(); ++i) {
    TableReader table = top.Below(*associations.value()[i], Indexed("associations", i));
    if (auto p = ReadAssociation(table, project)) return p;
  }
  AddUninstallEntryValues(project);
  return std::nullopt;
}

}  // namespace

Result<Project> ParseProject(const std::string& text, const std::string& sourceName,
                             const std::string& directory, const Variables& variables) {
  toml::table root;
  try {
    root = toml::parse(text, sourceName);
  } catch (const toml::parse_error& error) {
    return Problem{"", std::string(error.description()),
                   static_cast<int>(error.source().begin.line)};
  }
  Project project;
  project.directory = directory;
  if (auto problem = ReadProject(root, variables, project)) return *problem;
  return project;
}

Result<Project> ReadProjectFile(const std::string& path, const Variables& variables,
                                FileIdentity* identity) {
  auto text = ReadFileBytes(path, identity);
  if (!text.ok()) return Problem{"", "cannot be read: " + text.problem().message};
  std::string directory = ".";
  std::size_t slash = path.find_last_of('/');
  if (slash != std::string::npos) directory = slash == 0 ? "/" : path.substr(0, slash);
  return ParseProject(std::string(text.value().begin(), text.value().end()), path, directory,
                      variables);
}

}  // namespace packer
