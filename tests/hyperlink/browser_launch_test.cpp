// LaunchBrowser as the banner link calls it, with copies of the launch
// recorder registered as the ".htm" program and as the shell's "https" and
// "mailto" handlers: what is started, and with which command line. This
// process's HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE are keys of the test's
// own, so every case starts from a registry that holds only its own
// entries, and the prefix's is never touched.
#include "hyperlink/browser_launch.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "browser_recorder.h"

using browsertest::Command;
using browsertest::Recorders;

namespace {

const char kAddress[] = "https://www.vantorel.example/page";
const char kIeKey[] = "Software\\Microsoft\\Internet Explorer";
const char kHtmlCommandKey[] = "VantorelTest.Document\\shell\\open\\command";
const char kOwnRegistry[] = "Software\\VantorelTest\\BrowserLaunch";

// HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE of this process mapped to empty
// keys of the test's own, for the object's lifetime.
class OwnRegistry {
 public:
  OwnRegistry() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kOwnRegistry);
    classes_ = Create(HKEY_CURRENT_USER, std::string(kOwnRegistry) + "\\Classes");
    machine_ = Create(HKEY_CURRENT_USER, std::string(kOwnRegistry) + "\\Machine");
    RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_);
  }
  ~OwnRegistry() {
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(classes_);
    RegCloseKey(machine_);
    RegDeleteTreeA(HKEY_CURRENT_USER, kOwnRegistry);
  }
  OwnRegistry(const OwnRegistry&) = delete;
  OwnRegistry& operator=(const OwnRegistry&) = delete;

  // `value` empty: the key's default value.
  static void Set(HKEY root, const std::string& key, const std::string& value,
                  const std::string& text) {
    HKEY opened = Create(root, key);
    RegSetValueExA(opened, value.empty() ? nullptr : value.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(opened);
  }

 private:
  static HKEY Create(HKEY root, const std::string& key) {
    HKEY created = nullptr;
    RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr);
    return created;
  }
  HKEY classes_ = nullptr;
  HKEY machine_ = nullptr;
};

// Which registered program a case expects to be started, with which
// arguments after its quoted path; no program: nothing is started.
struct Expected {
  bool result;
  const char* program;  // a recorder copy: browser.exe, iexplore.exe, web.exe or mail.exe
  std::string arguments;
};

struct LaunchCase {
  const char* name;
  bool ieInstalled;
  // The default value of HKCR\.htm: the class; absent: no such key.
  std::optional<std::string> htmClass;
  // The class's open command; "{browser}" and "{iexplore}" stand for the
  // recorder copies' paths. Absent: the class has no such key.
  std::optional<std::string> command;
  std::string address;
  Expected expected;
};

// How each command line is cut and completed is tested without Windows
// (browser_command_test.cpp); these cases are about what is read from the
// registry and what is started.
const LaunchCase kCases[] = {
    {"the .htm program, %1 cut off",
     true,
     "VantorelTest.Document",
     "\"{browser}\" \"%1\"",
     kAddress,
     {true, "browser.exe", std::string(" ") + kAddress}},
    {"iexplore with Internet Explorer installed",
     true,
     "VantorelTest.Document",
     "\"{iexplore}\" -nohome \"%1\"",
     kAddress,
     {true, "iexplore.exe", std::string(" -new ") + kAddress}},
    {"iexplore without Internet Explorer installed",
     false,
     "VantorelTest.Document",
     "\"{iexplore}\" -nohome \"%1\"",
     kAddress,
     {true, "iexplore.exe", std::string("-nohome  ") + kAddress}},
    {"mailto: goes through the shell",
     true,
     "VantorelTest.Document",
     "\"{browser}\" \"%1\"",
     "mailto:someone@vantorel.example",
     {true, "mail.exe", "\"mailto:someone@vantorel.example\""}},
    {"MAILTO: in capitals too",
     true,
     "VantorelTest.Document",
     "\"{browser}\" \"%1\"",
     "MAILTO:someone@vantorel.example",
     {true, "mail.exe", "\"MAILTO:someone@vantorel.example\""}},
    {"no .htm class: the shell opens it",
     true,
     std::nullopt,
     "\"{browser}\" \"%1\"",
     kAddress,
     {true, "web.exe", std::string("\"") + kAddress + "\""}},
    {"a class without open command opens nothing",
     true,
     "VantorelTest.Document",
     std::nullopt,
     kAddress,
     {false, nullptr, ""}},
    {"a command longer than the registry buffer",
     true,
     "VantorelTest.Document",
     "\"{browser}\" " + std::string(300, 'x'),
     kAddress,
     {false, nullptr, ""}},
};

std::string Substitute(std::string text, const std::string& name, const std::string& value) {
  for (size_t at = text.find(name); at != std::string::npos;
       at = text.find(name, at + value.size())) {
    text.replace(at, name.size(), value);
  }
  return text;
}

TEST(LaunchBrowser, StartsTheRegisteredProgramWithTheAddress) {
  Recorders recorders("vantorel launch recorders");
  const std::string browser = recorders.Copy("browser.exe");
  const std::string iexplore = recorders.Copy("iexplore.exe");
  const std::string web = recorders.Copy("web.exe");
  const std::string mail = recorders.Copy("mail.exe");
  for (const LaunchCase& launch : kCases) {
    SCOPED_TRACE(launch.name);
    OwnRegistry registry;
    // The shell's own ways, taken when LaunchBrowser does not start the
    // ".htm" program itself.
    OwnRegistry::Set(HKEY_CLASSES_ROOT, "https\\shell\\open\\command", "", Command(web, "\"%1\""));
    OwnRegistry::Set(HKEY_CLASSES_ROOT, "mailto\\shell\\open\\command", "",
                     Command(mail, "\"%1\""));
    if (launch.ieInstalled) OwnRegistry::Set(HKEY_LOCAL_MACHINE, kIeKey, "Version", "11.0");
    if (launch.htmClass) OwnRegistry::Set(HKEY_CLASSES_ROOT, ".htm", "", *launch.htmClass);
    if (launch.command) {
      OwnRegistry::Set(
          HKEY_CLASSES_ROOT, kHtmlCommandKey, "",
          Substitute(Substitute(*launch.command, "{browser}", browser), "{iexplore}", iexplore));
    }
    recorders.ClearLog();

    EXPECT_EQ(LaunchBrowser(launch.address.c_str(), SW_SHOWNORMAL), launch.expected.result);
    if (launch.expected.program == nullptr) continue;
    recorders.WaitForLaunches(1);
    ASSERT_TRUE(recorders.WaitUntilNoneRuns());
    std::string program = recorders.Path(launch.expected.program);
    EXPECT_EQ(recorders.Launches(),
              std::vector<std::string>{Command(program, launch.expected.arguments)});
  }
}

}  // namespace
