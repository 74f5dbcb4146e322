// The permissions setup gives the folders it makes are built as bytes;
// Windows' own reader of descriptors says what they grant. (Wine keeps no
// entry a program sets on a folder, so this is where they can be seen.)
#include "base/folder_security.h"

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

TEST(FolderSecurity, AdminOnlyFoldersHaveProgramFilesPermissions) {
  const SECURITY_ATTRIBUTES* attributes = AdminOnlyAttributes();
  ASSERT_TRUE(IsValidSecurityDescriptor(attributes->lpSecurityDescriptor));
  EXPECT_FALSE(attributes->bInheritHandle);
  char* text = nullptr;
  ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(
      attributes->lpSecurityDescriptor, SDDL_REVISION_1,
      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &text, nullptr));
  // Owner Administrators; protected (P) from the parent's entries; full
  // control for Administrators and SYSTEM, read and execute for Users,
  // each inherited by folders and files inside (OICI).
  EXPECT_STREQ(text, "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)");
  LocalFree(text);
}
