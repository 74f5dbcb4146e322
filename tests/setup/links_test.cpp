// Setup never writes through a link in the application's folder, where a
// user who may write that folder could have put one to another
// application's folder or to the system's: every folder on the way to a
// file there, and the file itself, is opened as itself first, and a link
// stops the install, named, before anything is written through it. The log
// and the record are written as new files and renamed over the old ones,
// so that a hard link at their names keeps the bytes of its other file.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "setup_test_support.h"

using namespace setuptest;

namespace {

const char kAppName[] = "VT Planted";

// A program and a DLL in "lib" that may be replaced at the next start
// when it is in use.
std::string PlantedSetup() {
  testpkg::TestPackage package = PackageWithoutPages(kAppName);
  package.checkProgramNotRunning = 0;
  AddFile(package, "app.exe", testpkg::ToBytes("the program"));
  AddFile(package, "vthelper.dll", testpkg::ToBytes("the helper"), "lib\\").replaceIfInUse = 1;
  return WriteSetup("planted", SetupFileAround(testpkg::BuildPackage(package)));
}

struct PlantedCase {
  const char* what;
  bool upgrade;        // installed before the link is planted
  const char* script;  // the link planted: $1 the destination, $2 the outside folder
  const char* named;   // below the destination: what the message names
  bool folder;         // the message is about a folder (else a file)
};

TEST(SetupLinks, ALinkInTheDestinationStopsTheInstallBeforeItWritesThere) {
  const std::string destination = DefaultDestination(kAppName);
  const PlantedCase cases[] = {
      {"lib linked to another folder before a fresh install", false,
       "mkdir -p \"$1\" && ln -s \"$2\" \"$1/lib\"", "lib", true},
      {"a link that leads nowhere yet where a new file goes", false,
       "mkdir -p \"$1/lib\" && ln -s \"$2/made through a link.dll\" \"$1/lib/vthelper.dll\"",
       "lib\\vthelper.dll", false},
      {"lib replaced by a link before an upgrade, its DLL in use", true,
       "mv \"$1/lib\" \"$1/lib.old\" && ln -s \"$2\" \"$1/lib\"", "lib", true},
      {"the program replaced by a link before an upgrade", true,
       "rm \"$1/app.exe\" && ln -s \"$2/app.exe\" \"$1/app.exe\"", "app.exe", false},
  };
  const std::string setup = PlantedSetup();
  for (const PlantedCase& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(RunLinuxShell("rm -rf \"$1\"", {destination}));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey(kAppName).c_str());
    const std::string outside = ScratchFolder("planted outside");
    ASSERT_TRUE(WriteBytes(outside + "\\app.exe", testpkg::ToBytes("another program")));
    ASSERT_TRUE(WriteBytes(outside + "\\vthelper.dll", testpkg::ToBytes("the system's DLL")));
    if (c.upgrade) {
      ASSERT_TRUE(RunSetupToEnd(setup, std::string(kAppName) + " Setup").finishDialog);
    }
    ASSERT_TRUE(RunLinuxShell(c.script, {destination, outside}));
    const auto before = StateOf({outside}, {});
    FileInUse helper(outside + "\\vthelper.dll");

    const SetupRun run = RunSetupToEnd(setup, std::string(kAppName) + " Setup");
    const std::string named = destination + "\\" + c.named;
    EXPECT_EQ(run.boxes.size(), 1u);
    for (const robot::MessageBoxContent& box : run.boxes) {
      EXPECT_EQ(box.text, c.folder ? "Unable to create the directory '" + named + "'."
                                   : "Unable to open the file '" + named + "'.");
    }
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(StateOf({outside}, {}), before);
  }
  RunLinuxShell("rm -rf \"$1\"", {destination});
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey(kAppName).c_str());
}

// Reinstalled over a log and a record that have second names elsewhere
// (hard links a user made to them): those keep the old bytes, and the
// application gets a log and a record of its own.
TEST(SetupLinks, ALogWithOtherNamesKeepsTheirBytes) {
  const std::string destination = DefaultDestination(kAppName);
  const std::string setup = PlantedSetup();
  RunLinuxShell("rm -rf \"$1\"", {destination});
  ASSERT_TRUE(RunSetupToEnd(setup, std::string(kAppName) + " Setup").finishDialog);
  const std::string outside = ScratchFolder("hard linked");
  for (const char* name : {"Uninst.log", "Uninst.rec"}) {
    ASSERT_TRUE(CreateHardLinkA((outside + "\\" + name).c_str(),
                                (destination + "\\" + name).c_str(), nullptr));
  }
  const auto before = StateOf({outside}, {});
  EXPECT_TRUE(RunSetupToEnd(setup, std::string(kAppName) + " Setup").finishDialog);
  EXPECT_EQ(StateOf({outside}, {}), before);
  auto log = ReadBytes(destination + "\\Uninst.log");
  ASSERT_TRUE(log.has_value());
  EXPECT_EQ(std::string(log->begin(), log->end()).substr(0, sizeof kAppName),
            kAppName + std::string("\n"));
  RemovePath(destination);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey(kAppName).c_str());
}

}  // namespace
