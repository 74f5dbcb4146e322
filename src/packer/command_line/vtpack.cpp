// vtpack: builds a setup executable from a project file, and lists or
// verifies one. A failure of build or list ends with one message naming the
// input and the entry at fault; verify prints a line for every fault it
// finds. Either way the exit code is 1.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "package/header_reader.h"
#include "package/memory_package_file.h"
#include "package/stored_block.h"
#include "packer/command_line/manifest_commands.h"
#include "packer/command_line/package_report.h"
#include "packer/command_line/packed_programs.h"
#include "packer/file_io.h"
#include "packer/pe/pe_checksum.h"
#include "packer/pe/pe_machine.h"
#include "packer/pe/program_icon.h"
#include "packer/pe/program_manifest.h"
#include "packer/progress.h"
#include "packer/project/code_page.h"
#include "packer/project/project_file.h"
#include "packer/project/starter_project.h"
#include "packer/publishing/setup_version_resource.h"
#include "packer/setup_file/gather.h"
#include "packer/setup_file/package_writer.h"

namespace packer {
namespace {

struct BuildRequest {
  std::string project;
  std::string output = "Setup.exe";
  std::string stub;  // empty: vtsetup.exe (vtsetup64.exe) where vtpack finds it
  // empty: VTUnInst.exe (VTUnInstUser.exe; VTUnInst64.exe, VTUnInstUser64.exe) where vtpack
  // finds it
  std::string uninstaller;
  bool best = false;
  bool zopfli = false;
  std::vector<std::string> definitions;  // -D NAME=VALUE
  unsigned jobs = 0;                     // 0: one per processor
};

int Fail(const std::string& message) {
  std::cerr << "vtpack: " << message << "\n";
  return 1;
}

// A program image for the setup file: a readable Windows executable that is
// not the output file; for the setup program, one whose image (headers and
// sections) the setup program's reader can find.
Result<Bytes> ReadProgramImage(const std::string& path, const char* role,
                               const OutputTarget& output, bool findImageEnd) {
  FileIdentity identity;
  auto image = ReadFileBytes(path, &identity);
  if (!image.ok())
    return Problem{"", std::string("the ") + role + " \"" + path +
                           "\" cannot be read: " + image.problem().message};
  if (output.exists && identity == output.identity)
    return Problem{"", std::string("the ") + role + " \"" + path + "\" is the output file \"" +
                           output.path + "\"; vtpack never writes over its inputs"};
  const Bytes& bytes = image.value();
  if (bytes.size() < 64 || bytes[0] != 'M' || bytes[1] != 'Z')
    return Problem{"", std::string("the ") + role + " \"" + path + "\" is not a Windows program"};
  if (!findImageEnd) return image;
  // The package goes behind the image, where the setup program's reader
  // looks for it.
  MemoryPackageFile file(bytes.data(), bytes.size());
  std::uint64_t imageEnd = 0;
  if (!ReadProgramImageEnd(file, &imageEnd) || imageEnd > bytes.size())
    return Problem{
        "", std::string("the ") + role + " \"" + path +
                "\" is not a Windows program: its PE headers or sections are cut or malformed"};
  return image;
}

// The setup program is of the project's architecture, and the uninstaller
// of the setup program's: each setup program writes the uninstaller under
// its own name, and the two read the same registry view. An uninstaller
// whose headers cannot be read is packed as it is.
Check CheckArchitectures(const Project& project, const Bytes& stub, const std::string& stubPath,
                         const Bytes& uninstaller, const std::string& uninstallerPath) {
  const Architecture wanted = project.settings.application.architecture;
  const std::string name = ArchitectureName(wanted);
  auto kind = ReadImageKind(stub);
  if (!kind)
    return Problem{"", "the setup program \"" + stubPath + "\" is for neither x86 nor x64"};
  if (kind->architecture != wanted)
    return Problem{project.architectureEntry.entry,
                   "is \"" + name + "\", but the setup program \"" + stubPath + "\" is " +
                       DescribeArchitecture(kind->architecture, "program") + "; give " +
                       kSetupProgram.option + " " + SetupProgramFor(wanted).fileName +
                       ", or set the architecture to \"" + ArchitectureName(kind->architecture) +
                       "\"",
                   project.architectureEntry.line};
  auto packed = ReadImageKind(uninstaller);
  if (packed && packed->architecture != wanted)
    return Problem{
        "", "the uninstaller \"" + uninstallerPath + "\" is " +
                DescribeArchitecture(packed->architecture, "program") + " and the setup program " +
                DescribeArchitecture(wanted, "one") + "; give " + kUninstaller.option + " " +
                UninstallerFor(wanted, project.settings.application.scope == InstallScope::kUser)
                    .fileName};
  return std::nullopt;
}

Result<GatherOptions> ReadEnvironment() {
  GatherOptions options;
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (epoch != nullptr && *epoch != '\0') {
    std::string text = epoch;
    if (text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos)
      return Problem{"",
                     "SOURCE_DATE_EPOCH \"" + text + "\" is not a number of seconds since 1970"};
    options.latestTime = std::stoll(text);
  }
  return options;
}

// What a build reads before it writes anything.
struct BuildInputs {
  OutputTarget output;
  Project project;
  std::string stubPath;
  Bytes stub;
  Bytes uninstaller;
  GatherOptions options;
};

// The uninstaller runs as the package does: as its user for a per-user
// package (it must not ask for an administrator), asking for one for the
// machine's.
Check CheckUninstallerScope(const Bytes& uninstaller, const std::string& path, bool perUser,
                            Architecture architecture) {
  if (RunsAsInvoker(uninstaller) == perUser) return std::nullopt;
  return Problem{"",
                 "the uninstaller \"" + path + "\" " +
                     (perUser ? std::string("does not run as the invoking user: a per-user package "
                                            "(application.scope = \"user\") needs ")
                              : std::string("runs as the invoking user: a package for the machine "
                                            "needs ")) +
                     UninstallerFor(architecture, perUser).fileName};
}

// The packed programs of the project's architecture and scope, found and
// read: neither may be the output file.
Check ReadPackedPrograms(const BuildRequest& request, const char* argv0, BuildInputs& inputs) {
  const Architecture architecture = inputs.project.settings.application.architecture;
  auto stubPath = LocatePackedProgram(request.stub, SetupProgramFor(architecture), argv0);
  if (!stubPath.ok()) return stubPath.problem();
  const bool perUser = inputs.project.settings.application.scope == InstallScope::kUser;
  auto uninstallerPath =
      LocatePackedProgram(request.uninstaller, UninstallerFor(architecture, perUser), argv0);
  if (!uninstallerPath.ok()) return uninstallerPath.problem();
  auto stub = ReadProgramImage(stubPath.value(), "setup program", inputs.output, true);
  if (!stub.ok()) return stub.problem();
  // The package starts behind it, at most 7 zeros later.
  if (stub.value().size() > std::numeric_limits<std::uint32_t>::max() - 8)
    return Problem{"", "the setup program \"" + stubPath.value() + "\" is larger than 4 GiB"};
  auto uninstaller = ReadProgramImage(uninstallerPath.value(), "uninstaller", inputs.output, false);
  if (!uninstaller.ok()) return uninstaller.problem();
  if (auto problem = CheckUninstallerScope(uninstaller.value(), uninstallerPath.value(), perUser,
                                           architecture))
    return problem;
  // Its block is always a stream, which the setup program inflates whole.
  if (uninstaller.value().size() > kLargestBlock / 2)
    return Problem{
        "", "the uninstaller \"" + uninstallerPath.value() + "\" is too large for a package"};
  if (auto problem = CheckArchitectures(inputs.project, stub.value(), stubPath.value(),
                                        uninstaller.value(), uninstallerPath.value()))
    return Problem{"",
                   problem->entry.empty() ? problem->message : Describe(request.project, *problem)};
  inputs.stubPath = stubPath.value();
  inputs.stub = std::move(stub.value());
  inputs.uninstaller = std::move(uninstaller.value());
  return std::nullopt;
}

// Every input of the build, each checked; a problem's message is the whole
// line vtpack prints.
Result<BuildInputs> ReadBuildInputs(const BuildRequest& request, const char* argv0) {
  Variables variables;
  for (const std::string& definition : request.definitions) {
    if (auto refusal = variables.Define(definition)) return Problem{"", "-D " + *refusal};
  }
  // Where the output goes, and which file it is when it exists already: no
  // input may be that file, whatever its name.
  auto output = ResolveOutput(request.output);
  if (!output.ok()) return output.problem();
  FileIdentity projectIdentity;
  auto project = ReadProjectFile(request.project, variables, &projectIdentity);
  if (!project.ok()) return Problem{"", Describe(request.project, project.problem())};
  if (output.value().exists && projectIdentity == output.value().identity)
    return Problem{
        "", Describe(request.project, Problem{"", "is the output file \"" + output.value().path +
                                                      "\"; vtpack never writes over its inputs"})};
  BuildInputs inputs;
  inputs.output = output.value();
  inputs.project = std::move(project.value());
  if (auto problem = ReadPackedPrograms(request, argv0, inputs)) return *problem;
  auto environment = ReadEnvironment();
  if (!environment.ok()) return environment.problem();
  inputs.options = environment.value();
  if (inputs.output.exists) inputs.options.output = inputs.output.identity;
  inputs.options.outputPath = inputs.output.path;
  return inputs;
}

// The setup file written into `file` and committed; prints its line.
int WritePackedSetup(const BuildRequest& request, const Bytes& stub, const PackageParts& parts,
                     AtomicOutput& file) {
  Compression level = request.zopfli ? Compression::kZopfli
                      : request.best ? Compression::kBest
                                     : Compression::kDefault;
  std::size_t fileCount = parts.files.size();
  std::uint64_t fileBytes = 0;
  for (const PackedFile& packed : parts.files) fileBytes += packed.size;
  // The files are read while the setup file is written: its line stays
  // until then, and is erased before any other message.
  BuildProgress progress(::isatty(STDERR_FILENO) ? &std::cerr : nullptr, &std::cerr);
  progress.Expect(fileCount, fileBytes);
  ProgressSink told(file, progress);
  auto size = WriteSetupFile(stub, parts, level, told, &progress, request.jobs);
  // The image's checksum field holds the whole setup file's, as signing
  // tools and Windows compute it.
  auto checksumField = PeChecksumField(stub);
  auto problem = size.ok() && checksumField ? StampPeChecksum(file, *checksumField) : std::nullopt;
  if (size.ok() && !problem) problem = file.Commit();
  if (size.ok() && !problem) progress.Finish();
  progress.Erase();
  // Problems of an input name its entry in the project; the output's stand alone.
  if (!size.ok())
    return Fail(size.problem().entry.empty() ? size.problem().message
                                             : Describe(request.project, size.problem()));
  if (problem) return Fail(problem->message);
  std::cout << request.output << ": " << fileCount << " files, " << size.value() << " bytes\n";
  return 0;
}

// The setup program's image with the vendor's icon, with the version
// resource that carries the facts for winget when the project gives them,
// and, for a per-user package, asking to run as the user who starts it.
std::optional<std::string> RewriteImageResources(BuildInputs& in, const PackageParts& parts) {
  const std::string program = "the setup program \"" + in.stubPath + "\" ";
  if (parts.icon) {
    auto branded = ReplaceProgramIcon(in.stub, *parts.icon);
    if (!branded.ok()) return program + branded.problem().message + " (application.icon)";
    in.stub = std::move(branded.value());
  }
  if (auto resource = SetupVersionResource(parts.settings.application, in.project.codePage)) {
    auto described = PutVersionResource(in.stub, *resource);
    if (!described.ok())
      return program + described.problem().message +
             " (it would carry application.description, licence-name, id, copyright and locale)";
    in.stub = std::move(described.value());
  }
  if (in.project.settings.application.scope == InstallScope::kUser) {
    if (auto problem = AskToRunAsInvoker(in.stub))
      return program + problem->message + " (application.scope)";
  }
  return std::nullopt;
}

int Build(const BuildRequest& request, const char* argv0) {
  auto inputs = ReadBuildInputs(request, argv0);
  if (!inputs.ok()) return Fail(inputs.problem().message);
  BuildInputs& in = inputs.value();
  // The temporary file exists from here on; any failure, or SIGINT/SIGTERM,
  // removes it.
  AtomicOutput file;
  if (auto problem = file.Create(in.output)) return Fail(problem->message);
  in.options.temporary = file.Identity();
  auto parts = GatherPackage(in.project, std::move(in.uninstaller), in.options);
  if (!parts.ok()) return Fail(Describe(request.project, parts.problem()));
  for (const Problem& warning : parts.value().warnings)
    std::cerr << "vtpack: warning: " << Describe(request.project, warning) << "\n";
  if (auto refusal = RewriteImageResources(in, parts.value())) return Fail(*refusal);
  return WritePackedSetup(request, in.stub, parts.value(), file);
}

// vtpack init DIR: a project file that builds as it stands, written only
// where no file is.
int Init(const std::string& folder, const std::string& projectPath, bool perUser) {
  auto text = StarterProject(folder, projectPath, perUser);
  if (!text.ok()) return Fail(text.problem().message);
  std::FILE* out = std::fopen(projectPath.c_str(), "wx");
  if (out == nullptr) {
    int error = errno;
    if (error == EEXIST)
      return Fail(projectPath + ": exists already; vtpack init never writes over a file");
    return Fail(projectPath + ": cannot be written: " + std::strerror(error));
  }
  bool written =
      std::fwrite(text.value().data(), 1, text.value().size(), out) == text.value().size();
  written = std::fclose(out) == 0 && written;
  if (!written) {
    std::remove(projectPath.c_str());
    return Fail(projectPath + ": cannot be written");
  }
  std::cout << projectPath << ": a project for \"" << folder << "\"; vtpack build " << projectPath
            << "\n";
  return 0;
}

// A usage error as every other failure: one line with vtpack's prefix, and
// where to read more.
int UsageError(const std::string& message, const std::string& command) {
  return Fail(message + " (vtpack " + (command.empty() ? "" : command + " ") + "--help)");
}

// What list and verify are asked: one of them runs.
struct ReadRequest {
  std::string setupFile;
  int codePage = kDefaultCodePage;
  bool json = false;
};

struct InitRequest {
  std::string folder;
  std::string projectPath = "project.toml";
  bool perUser = false;
};

struct ManifestRequest {
  std::string setupFile, url, folder = ".";
  bool json = false;
  int codePage = 0;  // 0: the one the version resource names, else 1252
};

struct ManifestCommands {
  CLI::App* winget;
  CLI::App* intune;
};

CLI::App* AddBuildCommand(CLI::App& app, BuildRequest& build) {
  CLI::App* command = app.add_subcommand("build", "Build a setup executable from a project file");
  command->add_option("project", build.project, "Project file (TOML)")->required();
  command->add_option("-o,--output", build.output, "Setup executable to write")
      ->capture_default_str();
  command
      ->add_option(
          "-D,--define", build.definitions,
          "NAME=VALUE: ${NAME} in the project's texts takes VALUE (before the environment); "
          "repeatable")
      ->allow_extra_args(false);
  auto* best =
      command->add_flag("--best", build.best, "Smaller output: libdeflate's highest level");
  auto* zopfli = command->add_flag("--zopfli", build.zopfli, "Smallest output: zopfli (slow)");
  best->excludes(zopfli);
  command->add_option("-j,--jobs", build.jobs, "Compress on N threads (default: one per processor)")
      ->type_name("N")
      ->check(CLI::Range(1u, 1024u));
  command->add_option(
      "--stub", build.stub,
      "Setup program image (default: vtsetup.exe, or vtsetup64.exe for architecture x64, beside "
      "vtpack, else in " VANTOREL_PROGRAMS_FROM_BIN " from vtpack's folder)");
  command->add_option("--uninstaller", build.uninstaller,
                      "Uninstaller image (default: VTUnInst.exe, for a per-user package "
                      "VTUnInstUser.exe, for architecture x64 VTUnInst64.exe or "
                      "VTUnInstUser64.exe, found as vtsetup.exe)");
  return command;
}

// list and verify: a setup executable, the code page of its texts, and
// whether to print JSON.
CLI::App* AddReadCommand(CLI::App& app, ReadRequest& read, const char* name,
                         const char* description, const char* codePageHelp, const char* jsonHelp) {
  CLI::App* command = app.add_subcommand(name, description);
  command->add_option("setup", read.setupFile, "Setup executable")->required();
  command->add_option("--code-page", read.codePage, codePageHelp)->capture_default_str();
  command->add_flag("--json", read.json, jsonHelp);
  return command;
}

CLI::App* AddInitCommand(CLI::App& app, InitRequest& init) {
  CLI::App* command = app.add_subcommand("init", "Write a starter project file for a build folder");
  command->add_option("folder", init.folder, "The application's build folder")->required();
  command->add_option("-o,--output", init.projectPath, "Project file to write")
      ->capture_default_str();
  command->add_flag("--user", init.perUser,
                    "A per-user package: installed for the user who runs setup, who needs no "
                    "administrator");
  return command;
}

ManifestCommands AddManifestCommand(CLI::App& app, ManifestRequest& manifest) {
  CLI::App* command =
      app.add_subcommand("manifest", "Write what winget or Intune needs of a setup executable");
  command->require_subcommand(1);
  CLI::App* winget =
      command->add_subcommand("winget", "Write the winget manifests of a setup executable");
  winget->add_option("setup", manifest.setupFile, "Setup executable, as published")->required();
  winget->add_option("--url", manifest.url, "Where the setup executable is published")->required();
  winget->add_option("-o,--output", manifest.folder, "Folder of the manifests")
      ->capture_default_str();
  CLI::App* intune =
      command->add_subcommand("intune", "Print Intune's Win32-app settings of a setup executable");
  intune->add_option("setup", manifest.setupFile, "Setup executable")->required();
  intune->add_flag("--json", manifest.json,
                   "Print them as Microsoft Graph's win32LobApp properties");
  for (CLI::App* sub : {winget, intune})
    sub->add_option("--code-page", manifest.codePage,
                    "Code page of the package's texts (default: the one its version resource "
                    "names, else 1252)");
  return {winget, intune};
}

// CLI11's message, first line only and starting in lower case, as vtpack's
// other messages.
int ParseFailure(CLI::App& app, const CLI::ParseError& error) {
  std::string command;
  for (CLI::App* sub : app.get_subcommands()) command = sub->get_name();
  std::string message = error.what();
  message = message.substr(0, message.find('\n'));
  if (!message.empty() && message[0] >= 'A' && message[0] <= 'Z')
    message[0] = static_cast<char>(message[0] - 'A' + 'a');
  return UsageError(message, command);
}

// The commands' names, in the order they were added.
std::vector<std::string> CommandNames(CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; }))
    names.push_back(command->get_name());
  return names;
}

int Read(const ReadRequest& read, bool verify) {
  if (!IsWindowsAnsiCodePage(read.codePage))
    return Fail("code page " + std::to_string(read.codePage) +
                " is not a Windows ANSI code page; use 874, 932, 936, 949, 950 or 1250 to 1258");
  if (verify) return VerifyPackage(read.setupFile, read.codePage, read.json, std::cout, std::cerr);
  return ListPackage(read.setupFile, read.codePage, read.json, std::cout, std::cerr);
}

int Manifest(const ManifestRequest& manifest, bool winget) {
  std::optional<int> codePage;
  if (manifest.codePage != 0) {
    if (!IsWindowsAnsiCodePage(manifest.codePage))
      return Fail("code page " + std::to_string(manifest.codePage) +
                  " is not a Windows ANSI code page; use 874, 932, 936, 949, 950 or 1250 to 1258");
    codePage = manifest.codePage;
  }
  if (winget)
    return WriteWingetManifests(manifest.setupFile, manifest.url, manifest.folder, codePage,
                                std::cout, std::cerr);
  return PrintIntuneApp(manifest.setupFile, manifest.json, codePage, std::cout, std::cerr);
}

}  // namespace
}  // namespace packer

int main(int argc, char** argv) {
  using namespace packer;
  CLI::App app{"vtpack: builds, lists and verifies Vantorel setup executables"};
  app.require_subcommand(0, 1);
  app.set_version_flag("--version", "vtpack " VANTOREL_VERSION, "Print vtpack's version and exit");
  BuildRequest build;
  ReadRequest read;
  InitRequest init;
  CLI::App* buildCommand = AddBuildCommand(app, build);
  CLI::App* listCommand = AddReadCommand(app, read, "list", "Print what a setup executable holds",
                                         "Code page of the package's texts",
                                         "Print it as JSON (its shape: docs/project-format.md)");
  CLI::App* verifyCommand =
      AddReadCommand(app, read, "verify", "Read a whole setup executable and check it",
                     "Code page of the package's texts (the project's)",
                     "Print the package and its faults as JSON");
  CLI::App* initCommand = AddInitCommand(app, init);
  ManifestRequest manifest;
  const ManifestCommands manifestCommands = AddManifestCommand(app, manifest);
  const std::vector<std::string> commands = CommandNames(app);
  // A first word that is not an option must be a command: say which it is not.
  if (argc > 1 && argv[1][0] != '-' &&
      std::find(commands.begin(), commands.end(), argv[1]) == commands.end())
    return UsageError("unknown command '" + std::string(argv[1]) + "'; the commands are " +
                          JoinWords(commands, " and "),
                      "");
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {  // --help, --version
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    return ParseFailure(app, e);
  }
  try {
    if (*buildCommand) return Build(build, argv[0]);
    if (*initCommand) return Init(init.folder, init.projectPath, init.perUser);
    if (*listCommand) return Read(read, false);
    if (*verifyCommand) return Read(read, true);
    if (*manifestCommands.winget) return Manifest(manifest, true);
    if (*manifestCommands.intune) return Manifest(manifest, false);
  } catch (const std::bad_alloc&) {
    // Every failure but this one comes back as a Problem; a temporary
    // output file is removed on the way here.
    return Fail("out of memory");
  }
  return UsageError("a command is needed: " + JoinWords(commands, " or "), "");
}
