// The stand-in program image of the tests: what a setup file starts with in
// place of the real setup program, as small as the setup program's reader
// accepts. The tests' one builder of it; Python tests and scripts take the
// file that write_stand_in_image writes with it.
#ifndef VANTOREL_TESTS_SUPPORT_STAND_IN_IMAGE_H
#define VANTOREL_TESTS_SUPPORT_STAND_IN_IMAGE_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace support {

// Where the parts lie: the PE headers at kNtHeaders, the optional header
// after the 24 bytes of signature and file header, kHeadersSize bytes of
// headers (SizeOfHeaders), then the sections, kSectionSize bytes each.
constexpr std::size_t kNtHeaders = 0x80;
constexpr std::size_t kOptionalHeader = kNtHeaders + 24;
constexpr std::size_t kHeadersSize = 0x200;
constexpr std::size_t kSectionSize = 0x100;

// DOS header, PE headers (PE32, or PE32+ with `pe32Plus`) with 16 empty data
// directories, and `sections` sections one after the other; the image ends
// after the last. Bytes the headers leave free count up (times 7), so that
// a copy shifted by a byte shows.
std::vector<std::uint8_t> StandInImage(int sections = 0, bool pe32Plus = false);
// Offset of section `index`'s 40-byte header.
std::size_t SectionHeaderOffset(int index, bool pe32Plus = false);
// Offset of the security entry of the data directories: a file offset, then
// a size; both zero (not signed).
std::size_t SecurityEntryOffset(bool pe32Plus = false);

}  // namespace support

#endif
