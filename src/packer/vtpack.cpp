// vtpack: builds a setup executable from a project file, and lists or
// verifies one. Every failure ends with one message naming the input and
// the entry at fault, and exit code 1.
#include <CLI/CLI.hpp>

#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <limits>
#include <string>

#include "package/header_reader.h"
#include "package/memory_package_file.h"
#include "package/stored_block.h"
#include "packer/code_page.h"
#include "packer/file_io.h"
#include "packer/gather.h"
#include "packer/packed_programs.h"
#include "packer/package_report.h"
#include "packer/package_writer.h"
#include "packer/progress.h"
#include "packer/project_file.h"

namespace packer {
namespace {

struct BuildRequest {
  std::string project;
  std::string output = "Setup.exe";
  std::string stub;         // empty: vtsetup.exe where vtpack finds it
  std::string uninstaller;  // empty: VTUnInst.exe where vtpack finds it
  bool best = false;
  bool zopfli = false;
  unsigned jobs = 0;  // 0: one per processor
};

int Fail(const std::string& message) {
  std::cerr << "vtpack: " << message << "\n";
  return 1;
}

// A program image for the setup file: a readable Windows executable that is
// not the output file; for the setup program, one whose image (headers and
// sections) the setup program's reader can find.
Result<Bytes> ReadProgramImage(const std::string& path, const char* role, const OutputTarget& output,
                               bool findImageEnd) {
  FileIdentity identity;
  auto image = ReadFileBytes(path, &identity);
  if (!image.ok()) return Problem{"", std::string("the ") + role + " \"" + path + "\" cannot be read: " +
                                          image.problem().message};
  if (output.exists && identity == output.identity)
    return Problem{"", std::string("the ") + role + " \"" + path + "\" is the output file \"" + output.path +
                           "\"; vtpack never writes over its inputs"};
  const Bytes& bytes = image.value();
  if (bytes.size() < 64 || bytes[0] != 'M' || bytes[1] != 'Z')
    return Problem{"", std::string("the ") + role + " \"" + path + "\" is not a Windows program"};
  if (!findImageEnd) return image;
  // The package goes behind the image, where the setup program's reader
  // looks for it.
  MemoryPackageFile file(bytes.data(), bytes.size());
  std::uint64_t imageEnd = 0;
  if (!ReadProgramImageEnd(file, &imageEnd) || imageEnd > bytes.size())
    return Problem{"", std::string("the ") + role + " \"" + path +
                           "\" is not a Windows program: its PE headers or sections are cut or malformed"};
  return image;
}

Result<GatherOptions> ReadEnvironment() {
  GatherOptions options;
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (epoch != nullptr && *epoch != '\0') {
    std::string text = epoch;
    if (text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos)
      return Problem{"", "SOURCE_DATE_EPOCH \"" + text + "\" is not a number of seconds since 1970"};
    options.latestTime = std::stoll(text);
  }
  return options;
}

int Build(const BuildRequest& request, const char* argv0) {
  // Where the output goes, and which file it is when it exists already: no
  // input may be that file, whatever its name.
  auto output = ResolveOutput(request.output);
  if (!output.ok()) return Fail(output.problem().message);
  FileIdentity projectIdentity;
  auto project = ReadProjectFile(request.project, &projectIdentity);
  if (!project.ok()) return Fail(Describe(request.project, project.problem()));
  if (output.value().exists && projectIdentity == output.value().identity)
    return Fail(Describe(request.project, Problem{"", "is the output file \"" + output.value().path +
                                                          "\"; vtpack never writes over its inputs"}));
  auto stubPath = LocatePackedProgram(request.stub, kSetupProgram, argv0);
  if (!stubPath.ok()) return Fail(stubPath.problem().message);
  auto uninstallerPath = LocatePackedProgram(request.uninstaller, kUninstaller, argv0);
  if (!uninstallerPath.ok()) return Fail(uninstallerPath.problem().message);
  auto stub = ReadProgramImage(stubPath.value(), "setup program", output.value(), true);
  if (!stub.ok()) return Fail(stub.problem().message);
  // The package starts behind it, at most 7 zeros later.
  if (stub.value().size() > std::numeric_limits<std::uint32_t>::max() - 8)
    return Fail("the setup program \"" + stubPath.value() + "\" is larger than 4 GiB");
  auto uninstaller = ReadProgramImage(uninstallerPath.value(), "uninstaller", output.value(), false);
  if (!uninstaller.ok()) return Fail(uninstaller.problem().message);
  // Its block is always a stream, which the setup program inflates whole.
  if (uninstaller.value().size() > kLargestBlock / 2)
    return Fail("the uninstaller \"" + uninstallerPath.value() + "\" is too large for a package");
  auto environment = ReadEnvironment();
  if (!environment.ok()) return Fail(environment.problem().message);
  if (output.value().exists) environment.value().output = output.value().identity;
  environment.value().outputPath = output.value().path;

  // The temporary file exists from here on; any failure, or SIGINT/SIGTERM,
  // removes it.
  AtomicOutput file;
  if (auto problem = file.Create(output.value())) return Fail(problem->message);
  environment.value().temporary = file.Identity();
  auto parts = GatherPackage(project.value(), std::move(uninstaller.value()), environment.value());
  if (!parts.ok()) return Fail(Describe(request.project, parts.problem()));
  for (const Problem& warning : parts.value().warnings)
    std::cerr << "vtpack: warning: " << Describe(request.project, warning) << "\n";
  Compression level = request.zopfli ? Compression::kZopfli
                      : request.best ? Compression::kBest
                                     : Compression::kDefault;
  std::size_t fileCount = parts.value().files.size();
  // The files are read while the setup file is written: its line stays
  // until then, and is erased before any other message.
  BuildProgress progress(::isatty(STDERR_FILENO) ? &std::cerr : nullptr);
  auto size = WriteSetupFile(stub.value(), parts.value(), level, file, &progress, request.jobs);
  auto problem = size.ok() ? file.Commit() : std::nullopt;
  progress.Erase();
  // Problems of an input name its entry in the project; the output's stand alone.
  if (!size.ok())
    return Fail(size.problem().entry.empty() ? size.problem().message : Describe(request.project, size.problem()));
  if (problem) return Fail(problem->message);
  std::cout << request.output << ": " << fileCount << " files, " << size.value() << " bytes\n";
  return 0;
}

}  // namespace
}  // namespace packer

int main(int argc, char** argv) {
  using namespace packer;
  CLI::App app{"vtpack: builds, lists and verifies Vantorel setup executables"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "vtpack " VANTOREL_VERSION, "Print vtpack's version and exit");

  BuildRequest build;
  CLI::App* buildCommand = app.add_subcommand("build", "Build a setup executable from a project file");
  buildCommand->add_option("project", build.project, "Project file (TOML)")->required();
  buildCommand->add_option("-o,--output", build.output, "Setup executable to write")->capture_default_str();
  auto* best = buildCommand->add_flag("--best", build.best, "Smaller output: libdeflate's highest level");
  auto* zopfli = buildCommand->add_flag("--zopfli", build.zopfli, "Smallest output: zopfli (slow)");
  best->excludes(zopfli);
  buildCommand->add_option("-j,--jobs", build.jobs, "Compress on N threads (default: one per processor)")
      ->type_name("N")
      ->check(CLI::Range(1u, 1024u));
  buildCommand->add_option("--stub", build.stub,
                           "Setup program image (default: vtsetup.exe beside vtpack, else in "
                           VANTOREL_PROGRAMS_FROM_BIN " from vtpack's folder)");
  buildCommand->add_option("--uninstaller", build.uninstaller,
                           "Uninstaller image (default: VTUnInst.exe, found as vtsetup.exe)");

  std::string setupFile;
  int codePage = kDefaultCodePage;
  CLI::App* listCommand = app.add_subcommand("list", "Print what a setup executable holds");
  listCommand->add_option("setup", setupFile, "Setup executable")->required();
  listCommand->add_option("--code-page", codePage, "Code page of the package's texts")->capture_default_str();
  CLI::App* verifyCommand = app.add_subcommand("verify", "Read a whole setup executable and check it");
  verifyCommand->add_option("setup", setupFile, "Setup executable")->required();
  verifyCommand->add_option("--code-page", codePage, "Code page of the package's texts (the project's)")
      ->capture_default_str();

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {  // --help, --version
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 1;
  }
  if (*buildCommand) return Build(build, argv[0]);
  if (!IsWindowsAnsiCodePage(codePage))
    return Fail("code page " + std::to_string(codePage) +
                " is not a Windows ANSI code page; use 874, 932, 936, 949, 950 or 1250 to 1258");
  if (*listCommand) return ListPackage(setupFile, codePage, std::cout, std::cerr);
  return VerifyPackage(setupFile, codePage, std::cout, std::cerr);
}
