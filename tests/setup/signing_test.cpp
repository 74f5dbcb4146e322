// Setup executables signed with Authenticode (tests/setup/sign-packages:
// osslsigncode with a throw-away certificate). The certificate table ends
// the signed file; the setup program finds its package in front of it, and
// a package changed after signing is a damaged package like any other.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "setup_test_support.h"

using namespace setuptest;

namespace {

const char kAppName[] = "VT Every Destination";  // projects/every-destination.toml

TEST(Signing, SignedSetupInstallsAsTheUnsignedOne) {
  const std::string destination = DefaultDestination(kAppName);
  RemovePath(destination);
  robot::Program setup = StartSetup(PackagePath("signed"));
  ASSERT_TRUE(setup.Started()) << setup.Error();
  HWND finish = WaitForFinishDialog(setup, std::string(kAppName) + " Setup");
  ASSERT_NE(finish, nullptr) << "no finish dialog";
  robot::Click(robot::ChildById(finish, IDC_FINISH));
  EXPECT_EQ(robot::WaitForExit(setup), 0u);
  for (const char* file : {"readme.txt", "Docs\\Manual\\manual.txt", "empty.dat"}) {
    std::string name = file;
    EXPECT_EQ(ReadBytes(destination + "\\" + name),
              ReadBytes(InputFile(name.substr(name.rfind('\\') + 1))))
        << name;
  }
}

TEST(Signing, PackageChangedAfterSigningIsDamaged) {
  robot::Program setup = StartSetup(PackagePath("signed-tampered"));
  ASSERT_TRUE(setup.Started()) << setup.Error();
  auto box = AnswerNextBox(setup, IDOK);
  ASSERT_TRUE(box.has_value()) << "no message box";
  EXPECT_EQ(box->text, "There was an error uncompressing the data.");
  EXPECT_EQ(box->caption, std::string(kAppName) + " Setup");
  EXPECT_EQ(robot::WaitForExit(setup), 1u);
}

}  // namespace
