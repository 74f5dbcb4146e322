// Code page 932 (Shift-JIS), where the second byte of a character may be
// 0x5C ("\") or a letter, for as long as a DoubleByteCodePage lives. The
// native builds stand its lead bytes in and put the single-byte code page
// back at the end; a Windows process has it only when Wine started it in a
// Japanese locale (LC_ALL=ja_JP.UTF-8), which Active() tells.
#ifndef VANTOREL_TESTS_SUPPORT_DOUBLE_BYTE_CODE_PAGE_H
#define VANTOREL_TESTS_SUPPORT_DOUBLE_BYTE_CODE_PAGE_H

namespace support {

class DoubleByteCodePage {
 public:
  DoubleByteCodePage();
  ~DoubleByteCodePage();
  DoubleByteCodePage(const DoubleByteCodePage&) = delete;
  DoubleByteCodePage& operator=(const DoubleByteCodePage&) = delete;
  bool Active() const;
};

}  // namespace support

#endif
