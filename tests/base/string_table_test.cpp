// The string table as the executable carries it: language, blocks, gaps.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

const WORD kEnglishUk = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK);

HRSRC Block(int name, WORD language) {
  return FindResourceExA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(name),
                         language);
}

TEST(StringTable, ThreeBlocksInEnglishUk) {
  EXPECT_NE(Block(1, kEnglishUk), nullptr);  // ids 0 to 15
  EXPECT_NE(Block(2, kEnglishUk), nullptr);  // ids 16 to 31
  EXPECT_NE(Block(3, kEnglishUk), nullptr);  // ids 32 to 47
  EXPECT_EQ(Block(4, kEnglishUk), nullptr);  // ids 48 to 63: none
  EXPECT_EQ(Block(1, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)), nullptr);
}

TEST(StringTable, GapsInsideThePresentBlock) {
  char buffer[256];
  HMODULE module = GetModuleHandleA(nullptr);
  for (UINT id : {0u, 1u, 18u, 19u, 20u, 21u, 34u})
    EXPECT_EQ(LoadStringA(module, id, buffer, sizeof buffer), 0) << id;
  for (UINT id : {2u, 17u, 22u, 26u})
    EXPECT_GT(LoadStringA(module, id, buffer, sizeof buffer), 0) << id;
}

}  // namespace
