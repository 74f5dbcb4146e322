#include "packer/project/starter_project.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <vector>

#include "package/layout.h"
#include "packer/file_io.h"
#include "packer/pe/pe_version.h"
#include "packer/project/code_page.h"
#include "packer/project/destinations.h"
#include "packer/project/project_paths.h"
#include "packer/project/text_rules.h"

namespace packer {
namespace fs = std::filesystem;
namespace {

// A TOML basic string that vtpack reads back as `text`: quotes, backslashes
// and control characters escaped, and "$" written "$$" (every text may name
// variables).
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '$') {
      out += "$$";
    } else if (c < 0x20 || c == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Lower(std::string text) {
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

// The folder's name as an application name: the characters code page 1252
// holds and a folder name may have, at most 30 bytes in it.
std::string ApplicationName(const std::string& folderName) {
  std::string name, bytes;
  for (std::size_t i = 0; i < folderName.size();) {
    std::size_t length = 1;
    auto lead = static_cast<unsigned char>(folderName[i]);
    if (lead >= 0xC0) length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    std::string character = folderName.substr(i, length);
    i += length;
    auto converted = Utf8ToCodePage(character, kDefaultCodePage);
    if (!converted || converted->size() != 1 || CheckFileName("a" + *converted + "a")) continue;
    if (bytes.size() + 1 > static_cast<std::size_t>(layout::kMaxTextLength)) break;
    name += character;
    bytes += *converted;
  }
  while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
  if (name.empty() || CheckApplicationFolder(*Utf8ToCodePage(name, kDefaultCodePage)))
    return "Application";
  return name;
}

struct Program {
  std::string name;
  std::optional<FileVersion> version;
};

// The .exe files at the folder's top that a package can name as its
// program, the one named like the folder first, the rest in byte order.
std::vector<Program> FindPrograms(const fs::path& folder) {
  std::vector<Program> programs;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    std::string name = entry.path().filename().string();
    if (name.size() < 5 || Lower(name.substr(name.size() - 4)) != ".exe" ||
        !entry.is_regular_file(error))
      continue;
    auto converted = Utf8ToCodePage(name, kDefaultCodePage);
    if (!converted || converted->size() > static_cast<std::size_t>(layout::kMaxTextLength) ||
        CheckFileName(*converted))
      continue;
    Program program{name, std::nullopt};
    auto bytes = ReadFileBytes(entry.path().string());
    if (bytes.ok()) program.version = ReadPeFileVersion(bytes.value().data(), bytes.value().size());
    programs.push_back(std::move(program));
  }
  const std::string preferred = Lower(folder.filename().string()) + ".exe";
  std::sort(programs.begin(), programs.end(), [&](const Program& a, const Program& b) {
    bool aPreferred = Lower(a.name) == preferred, bPreferred = Lower(b.name) == preferred;
    return aPreferred != bPreferred ? aPreferred : a.name < b.name;
  });
  return programs;
}

// The project's first lines: what wrote it and how to use it.
std::string Preamble(const std::string& folderText, const std::string& projectPath) {
  std::string text;
  text += "# Vantorel project for the build folder " + Quoted(folderText) +
          ", written by vtpack init.\n";
  text += "#   vtpack build " + projectPath + " -o Setup.exe\n";
  text += "# Every text may use ${NAME}, or ${NAME:-fallback} when NAME may be unset:\n";
  text += "# vtpack build -D NAME=VALUE or the environment gives the value; $$ writes a \"$\".\n";
  text +=
      "# The whole format: docs/project-format.md (/usr/share/doc/vantorel/ once installed).\n\n";
  return text;
}

std::string ApplicationTable(const std::string& name, const std::vector<Program>& programs,
                             bool perUser) {
  std::string text;
  text += "[application]\n";
  if (perUser) {
    text += "# For the user who runs setup, who needs no administrator: the entry in the list\n";
    text += "# of installed programs and the records under HKEY_CURRENT_USER.\n";
    text += "scope = \"user\"\n";
  }
  text += std::string("# The name setup shows and installs under, ") +
          (perUser ? "<local application data>\\Programs" : "<Program Files>") +
          "\\<name>; at most 30 bytes.\n";
  text += "name = " + Quoted(name) + "\n";
  if (!programs.empty()) {
    const Program& program = programs.front();
    text += "# The installed program: the shortcuts start it, setup may run it at the end.\n";
    text += "program = " + Quoted(program.name) + "\n";
    if (programs.size() > 1) {
      text += "# Other programs at the folder's top:";
      for (std::size_t i = 1; i < programs.size(); ++i)
        text += (i > 1 ? ", " : " ") + programs[i].name;
      text += "\n";
    }
    if (program.version) {
      text += "# The version in setup's title, from the program's version resource.\n";
      text += "version-from-program = true\n";
    }
  } else {
    text += "# The installed program, at the folder's top: the shortcuts start it.\n";
    text += "# program = \"app.exe\"\n";
  }
  if (programs.empty() || !programs.front().version) {
    text += "# The version in setup's title; CI may give it: vtpack build -D APP_VERSION=2.1.0\n";
    text += "version = \"${APP_VERSION:-1.0}\"\n";
  }
  text += "# The window class of the program's main window: setup asks a running one to close.\n";
  text += "# window-class = \"MyAppWindow\"\n";
  text += "# A licence (UTF-8 text) that the user must accept.\n";
  text += "# licence = \"licence.txt\"\n";
  text += "# The icon of Setup.exe and of setup's windows (.ico).\n";
  text += "# icon = \"app.ico\"\n";
  text += "# The publisher and web address shown in the list of installed programs.\n";
  text += "# publisher = \"My Company\"\n";
  text += "# url = \"https://www.example.com/\"\n\n";
  return text;
}

std::string SetupTable() {
  std::string text;
  text += "[setup]\n";
  text += "welcome-page = true                 # the welcome page\n";
  text += "destination-page = true             # the user may choose the folder\n";
  text +=
      "shortcuts-page = true               # the user chooses the shortcuts; hidden, all three are "
      "made\n";
  text +=
      "run-program-at-end = false          # start the program when setup is done (needs "
      "program)\n";
  text +=
      "check-program-not-running = false   # the uninstaller has the program closed first (needs "
      "window-class)\n\n";
  return text;
}

// The one entry packing the whole folder, `source` as the project names it.
std::string FilesTable(const std::string& source, bool perUser) {
  std::string text;
  text += "[[files]]\n";
  text += "# Every file below the folder, each in its folder; names beginning with a dot too.\n";
  text += "source = " + Quoted(EscapeGlob(source) + "/**") + "\n";
  text += "# Left out: debug symbols at any depth, and version control's folders.\n";
  text += "exclude = [\"*.pdb\", \".git/\"]\n";
  const char* app = kDestinations[layout::kDestinationApplication].name;
  if (perUser) {
    text += "# Where: " + std::string(app) +
            ", the folder the user chose (a per-user package has no other).\n";
  } else {
    text += "# Where: " + std::string(app) + " (the folder the user chose)";
    for (unsigned type = 1; type < layout::kDestinationTypeCount; ++type)
      text += std::string(", ") + kDestinations[type].name;
    text += ".\n";
  }
  text += "destination = \"app\"\n";
  text += "# A folder below the destination for all of them, \"\" for none.\n";
  text += "subfolder = \"\"\n";
  return text;
}

// The build folder as the project names it, relative to the project's
// folder where it can be; the project file may not lie inside it.
Result<std::string> SourceFolder(const std::string& folderText, const std::string& projectPath,
                                 fs::path& folder) {
  std::error_code error;
  if (!fs::is_directory(folderText, error))
    return Problem{"",
                   "\"" + folderText +
                       "\" is not a folder: vtpack init DIR writes a project for a build folder"};
  folder = fs::weakly_canonical(fs::absolute(folderText), error);
  fs::path projectFolder = fs::weakly_canonical(fs::absolute(projectPath), error).parent_path();
  fs::path inside = projectFolder.lexically_relative(folder);
  if (!inside.empty() && *inside.begin() != "..")
    return Problem{"", "the project file \"" + projectPath + "\" would lie inside \"" + folderText +
                           "\" and be packed with it; write it elsewhere with -o"};
  fs::path relative = folder.lexically_relative(projectFolder);
  return (relative.empty() ? folder : relative).generic_string();
}

}  // namespace

Result<std::string> StarterProject(const std::string& folderText, const std::string& projectPath,
                                   bool perUser) {
  fs::path folder;
  auto source = SourceFolder(folderText, projectPath, folder);
  if (!source.ok()) return source.problem();
  const std::string name = ApplicationName(folder.filename().string());
  std::vector<Program> programs = FindPrograms(folder);
  return Preamble(folderText, projectPath) + ApplicationTable(name, programs, perUser) +
         SetupTable() + FilesTable(source.value(), perUser);
}

}  // namespace packer
