#include "packer/publishing/intune_app.h"

#include "base/deployment_interface.h"
#include "base/uninstall_names.h"

namespace packer {
namespace {

// Where a run as the system account may write its log; a per-user
// package's run is the user's, with the user's folders (Intune expands them).
constexpr char kLogFolder[] = "C:\\Windows\\Temp";
constexpr char kUserLogFolder[] = "%TEMP%";
constexpr char kWindowsFolder[] = "C:\\Windows";
constexpr char kUserPrograms[] = "%LOCALAPPDATA%\\Programs";

// A word of a command line, in quotes when it holds a blank or a variable.
std::string Word(const std::string& text) {
  return text.find_first_of(" %") == std::string::npos ? text : "\"" + text + "\"";
}

bool PerUser(const PublishedSetup& setup) { return setup.scope == "user"; }

std::string LogSwitch(const PublishedSetup& setup, const char* what) {
  std::string base = setup.fileName;
  if (base.size() > 4 && base.compare(base.size() - 4, 4, ".exe") == 0)
    base.resize(base.size() - 4);
  return std::string("/") + switches::kLog + "=" +
         Word(std::string(PerUser(setup) ? kUserLogFolder : kLogFolder) + "\\" + base + "-" + what +
              ".log");
}

// The folder setup installs into by default on 64-bit Windows.
std::string DefaultFolder(const PublishedSetup& setup) {
  const char* programs = PerUser(setup)                             ? kUserPrograms
                         : setup.architecture == Architecture::kX86 ? "C:\\Program Files (x86)"
                                                                    : "C:\\Program Files";
  return std::string(programs) + "\\" + setup.name;
}

// Shared in the Windows folder; a per-user package's own, beside its files.
std::string Uninstaller(const PublishedSetup& setup) {
  return (PerUser(setup) ? DefaultFolder(setup) : std::string(kWindowsFolder)) + "\\" +
         InstalledUninstallerName(setup.architecture);
}

}  // namespace

Result<IntuneApp> IntuneAppFor(const PublishedSetup& setup) {
  if (setup.version.empty())
    return Problem{"application.version",
                   "is empty: the detection rule compares the entry's DisplayVersion with it; add "
                   "it to the project and build again"};
  IntuneApp app;
  const std::string silent = std::string(" /") + switches::kSilent + " ";
  app.installCommand = Word(setup.fileName) + silent + LogSwitch(setup, "install");
  // The entry's QuietUninstallString, with a log.
  app.uninstallCommand = "\"" + Uninstaller(setup) + "\"" + silent + LogSwitch(setup, "uninstall") +
                         " \"" + DefaultFolder(setup) + "\\" + uninstall::kLogName + "\"";
  app.runAsAccount = PerUser(setup) ? "user" : "system";
  app.architectures = "x64";
  app.returnCodes = {{kExitDone, "success"},
                     {kExitRestartNeeded, "softReboot"},
                     {kExitFailed, "failed"},
                     {kExitBadCommandLine, "failed"}};
  app.rule.keyPath = UninstallEntryKey(setup);
  app.rule.valueName = "DisplayVersion";
  app.rule.comparisonValue = setup.version;
  // HKEY_CURRENT_USER\Software is one key for both views.
  app.rule.check32BitOn64System = setup.architecture == Architecture::kX86 && !PerUser(setup);
  return app;
}

}  // namespace packer
