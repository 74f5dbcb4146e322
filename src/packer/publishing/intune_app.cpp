#include "packer/publishing/intune_app.h"

#include "base/deployment_interface.h"
#include "base/uninstall_names.h"

namespace packer {
namespace {

// Where a run as the system account may write its log.
constexpr char kLogFolder[] = "C:\\Windows\\Temp";
constexpr char kWindowsFolder[] = "C:\\Windows";

// A word of a command line, in quotes when it holds a blank.
std::string Word(const std::string& text) {
  return text.find(' ') == std::string::npos ? text : "\"" + text + "\"";
}

std::string LogSwitch(const PublishedSetup& setup, const char* what) {
  std::string base = setup.fileName;
  if (base.size() > 4 && base.compare(base.size() - 4, 4, ".exe") == 0)
    base.resize(base.size() - 4);
  return std::string("/") + switches::kLog + "=" +
         Word(std::string(kLogFolder) + "\\" + base + "-" + what + ".log");
}

// The folder setup installs into by default on 64-bit Windows.
std::string DefaultFolder(const PublishedSetup& setup) {
  const char* programFiles =
      setup.architecture == "x86" ? "C:\\Program Files (x86)" : "C:\\Program Files";
  return std::string(programFiles) + "\\" + setup.name;
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
  app.uninstallCommand = "\"" + std::string(kWindowsFolder) + "\\" + uninstall::kUninstallerName +
                         "\"" + silent + LogSwitch(setup, "uninstall") + " \"" +
                         DefaultFolder(setup) + "\\" + uninstall::kLogName + "\"";
  app.runAsAccount = setup.scope == "user" ? "user" : "system";
  app.architectures = setup.architecture == "arm64" ? "arm64" : "x64";
  app.returnCodes = {{kExitDone, "success"},
                     {kExitRestartNeeded, "softReboot"},
                     {kExitFailed, "failed"},
                     {kExitBadCommandLine, "failed"}};
  app.rule.keyPath = "HKEY_LOCAL_MACHINE\\" + UninstallEntryKey(setup);
  app.rule.valueName = "DisplayVersion";
  app.rule.comparisonValue = setup.version;
  app.rule.check32BitOn64System = setup.architecture == "x86";
  return app;
}

}  // namespace packer
