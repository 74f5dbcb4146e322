// A package with double-byte names, packed with code page 932, installed by
// a setup program whose ANSI code page is 932: each file lands at its path.
// CMake runs this test with LC_ALL=ja_JP.UTF-8 and LOCPATH set (see
// CMakeLists.txt for what was verified about Wine's code page).
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "setup_test_support.h"

using namespace setuptest;

namespace {

std::wstring Wide(const std::string& text, UINT codePage) {
  int length = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.c_str(), -1, wide.data(), length);
  wide.resize(static_cast<std::size_t>(length) - 1);
  return wide;
}

bool IsFile(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

TEST(CodePage932, DoubleByteNamesInstallAtTheirPath) {
  // The setup program inherits this process's code page (see CMakeLists.txt).
  ASSERT_EQ(GetACP(), 932u) << "the test must run with LC_ALL=ja_JP.UTF-8 (and LOCPATH)";
  const std::string app = DefaultDestination("VT Code Page 932");
  RemovePath(app);
  robot::Program setup = StartSetup(PackagePath("code-page-932"));
  ASSERT_TRUE(setup.Started()) << setup.Error();
  HWND finish = WaitForFinishDialog(setup, "VT Code Page 932 Setup");
  ASSERT_NE(finish, nullptr) << "no finish dialog";
  ASSERT_TRUE(robot::Click(robot::ChildById(finish, IDC_FINISH)));
  ASSERT_EQ(robot::WaitForExit(setup), 0u);

  const std::wstring base = Wide(app, CP_ACP);
  const std::wstring installed = base + Wide(u8"\\表\\ポ\\ソフト.txt", CP_UTF8);
  EXPECT_TRUE(IsFile(installed)) << "not installed at <app>\\表\\ポ\\ソフト.txt";
  // Where a byte-wise reading would have put it: no separator after "表"...
  EXPECT_FALSE(IsFile(base + Wide(u8"\\ソフト.txt", CP_UTF8)));
  HANDLE file = CreateFileW(installed.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char buffer[256];
  DWORD read = 0;
  ReadFile(file, buffer, sizeof buffer, &read, nullptr);
  CloseHandle(file);
  Bytes expected = *ReadBytes(InputFile("readme.txt"));
  EXPECT_EQ(Bytes(buffer, buffer + read), expected);
  RemovePath(app);
}
