#include "packer/command_line/manifest_commands.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "packer/command_line/json_writer.h"
#include "packer/publishing/intune_app.h"
#include "packer/publishing/winget_manifest.h"

namespace packer {
namespace {

int Fail(std::ostream& errors, const std::string& setupPath, const Problem& problem) {
  errors << "vtpack: " << setupPath << ": " << (problem.entry.empty() ? "" : problem.entry + ": ")
         << problem.message << "\n";
  return 1;
}

// Each file whole beside its place, then renamed there; nothing is left
// half written.
Check WriteFiles(const std::string& folder, const std::vector<ManifestFile>& files) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return Problem{"-o", "\"" + folder + "\" cannot be made: " + error.message()};
  std::vector<std::string> written;
  auto removeWritten = [&] {
    for (const std::string& path : written) std::remove(path.c_str());
  };
  for (const ManifestFile& file : files) {
    const std::string temporary = folder + "/." + file.name + ".vtpack";
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    written.push_back(temporary);
    out << file.text;
    out.close();
    if (!out) {
      removeWritten();
      return Problem{"-o", "\"" + temporary + "\" cannot be written"};
    }
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string path = folder + "/" + files[i].name;
    if (std::rename(written[i].c_str(), path.c_str()) != 0) {
      removeWritten();
      return Problem{"-o", "\"" + path + "\" cannot be written"};
    }
  }
  return std::nullopt;
}

void PrintIntuneText(const PublishedSetup& setup, const IntuneApp& app, std::ostream& out) {
  out << setup.fileName << ": Intune Win32 app (" << setup.name << " " << setup.version
      << "), for 64-bit Windows\n"
      << "Program\n"
      << "  Install command          " << app.installCommand << "\n"
      << "  Uninstall command        " << app.uninstallCommand << "\n"
      << "  Install behavior         " << (app.runAsAccount == "user" ? "User" : "System") << "\n"
      << "  Device restart behavior  Determine behavior based on return codes\n"
      << "  Return codes            ";
  for (const IntuneReturnCode& code : app.returnCodes) {
    const std::string type = code.type;
    out << " " << code.code << " "
        << (type == "success"      ? "Success"
            : type == "softReboot" ? "Soft reboot"
                                   : "Failed")
        << (&code == &app.returnCodes.back() ? "\n" : ",");
  }
  out << "Requirements\n"
      << "  Operating system architecture  " << app.architectures << "\n"
      << "Detection rules: manually configured, rule type Registry\n"
      << "  Key path                 " << app.rule.keyPath << "\n"
      << "  Value name               " << app.rule.valueName << "\n"
      << "  Detection method         String comparison\n"
      << "  Operator                 Equals\n"
      << "  Value                    " << app.rule.comparisonValue << "\n"
      << "  Associated with a 32-bit app on 64-bit clients  "
      << (app.rule.check32BitOn64System ? "Yes" : "No") << "\n";
}

void PrintIntuneJson(const PublishedSetup& setup, const IntuneApp& app, std::ostream& out) {
  JsonWriter json(out);
  auto text = [&](const char* key, const std::string& value) {
    json.Key(key);
    json.String(value);
  };
  json.BeginObject();
  text("@odata.type", "#microsoft.graph.win32LobApp");
  text("displayName", setup.name);
  text("displayVersion", setup.version);
  if (!setup.publisher.empty()) text("publisher", setup.publisher);
  if (!setup.texts.description.empty()) text("description", setup.texts.description);
  text("setupFilePath", setup.fileName);
  text("installCommandLine", app.installCommand);
  text("uninstallCommandLine", app.uninstallCommand);
  json.Key("installExperience");
  json.BeginObject();
  text("runAsAccount", app.runAsAccount);
  text("deviceRestartBehavior", "basedOnReturnCode");
  json.EndObject();
  json.Key("returnCodes");
  json.BeginArray();
  for (const IntuneReturnCode& code : app.returnCodes) {
    json.BeginObject();
    json.Key("returnCode");
    json.Number(code.code);
    text("type", code.type);
    json.EndObject();
  }
  json.EndArray();
  text("applicableArchitectures", app.architectures);
  json.Key("rules");
  json.BeginArray();
  json.BeginObject();
  text("@odata.type", "#microsoft.graph.win32LobAppRegistryRule");
  text("ruleType", "detection");
  json.Key("check32BitOn64System");
  json.Bool(app.rule.check32BitOn64System);
  text("keyPath", app.rule.keyPath);
  text("valueName", app.rule.valueName);
  text("operationType", "string");
  text("operator", "equal");
  text("comparisonValue", app.rule.comparisonValue);
  json.EndObject();
  json.EndArray();
  json.EndObject();
}

}  // namespace

int WriteWingetManifests(const std::string& setupPath, const std::string& url,
                         const std::string& folder, std::optional<int> codePage, std::ostream& out,
                         std::ostream& errors) {
  auto setup = ReadPublishedSetup(setupPath, codePage);
  if (!setup.ok()) return Fail(errors, setupPath, setup.problem());
  auto manifests = WingetManifests(setup.value(), url);
  if (!manifests.ok()) return Fail(errors, setupPath, manifests.problem());
  if (auto problem = WriteFiles(folder, manifests.value()))
    return Fail(errors, setupPath, *problem);
  for (const ManifestFile& file : manifests.value()) out << folder << "/" << file.name << "\n";
  return 0;
}

int PrintIntuneApp(const std::string& setupPath, bool json, std::optional<int> codePage,
                   std::ostream& out, std::ostream& errors) {
  auto setup = ReadPublishedSetup(setupPath, codePage);
  if (!setup.ok()) return Fail(errors, setupPath, setup.problem());
  auto app = IntuneAppFor(setup.value());
  if (!app.ok()) return Fail(errors, setupPath, app.problem());
  if (json) {
    PrintIntuneJson(setup.value(), app.value(), out);
  } else {
    PrintIntuneText(setup.value(), app.value(), out);
  }
  return 0;
}

}  // namespace packer
