// The install package: the one description of its bytes, shared by the setup
// program (reader) and vtpack (writer). All integers are little-endian; all
// variable strings are NUL-terminated in the system's Windows code page.
//
// Setup file
//   0            the setup program's own image
//   P            PackageHeader, 130 bytes
//   P + 130      LicenceBlock (a StoredBlock, stored form allowed), only when
//                HasLicence != 0; its bytes hold the text and a NUL (CR LF lines)
//   next         data block, D1 to D8, read front to back by the install engine
//   end - 4      PackageTrailer: u32 P. Only a signature may follow it: the
//                image's Authenticode certificate table, which a signing tool
//                appends after the zero bytes that align it; the trailer then
//                ends where those bytes start (ReadPackageTrailer)
//
// PackageHeader (130 bytes; texts are NUL-terminated inside their field, so
// each holds at most 30 characters; bytes after the NUL are ignored)
//   0   31  AppName
//   31  31  AppVersion
//   62   1  ShowDestinationPage
//   63   1  ShowShortcutsPage
//   64   1  HasLicence
//   65   1  ShowWelcomePage
//   66   1  RunProgramAtEnd
//   67   1  CheckProgramNotRunning
//   68  31  ProgramWindowClass
//   99  31  ProgramFileName
//
// StoredBlock
//   0   4   u32 CompressedSize
//   4   4   u32 UncompressedSize
//   8   ..  a zlib stream (RFC 1950) of CompressedSize bytes inflating to at most
//           UncompressedSize bytes; CompressedSize 0, where the variant allows
//           it, means UncompressedSize bytes follow as they are
//
// Data block
//   D1  UninstallerBlock: StoredBlock, always compressed (VTUnInst.exe)
//   D2  FileTable: i32 N, then N serialised FileRecords (N <= 0: no files)
//   D3  FileDataBlock, only when N > 0: StoredBlock (stored form allowed) of
//       all files' bytes concatenated in FileTable order
//   D4..D7  registry sections, one per root in the order of RegistryRoot
//       below: u32 key count; per key a NUL-terminated path, u32 value count;
//       per value u32 type and a NUL-terminated "name=data"
//   D8  associations: u32 count; per association five NUL-terminated strings
//       (extension without dot, type name, description, command program, icon
//       file) and u32 icon index
//
// Serialised FileRecord
//   u32 FileSize; FileName NUL; u32 DestinationType; SubDirectory NUL (empty or
//   ending in "\"); 44-byte DateTime image; u32 HasVersion; 4 x u16 FileVersion
//   (major, minor, build, revision) only when HasVersion == 1; u32
//   ReplaceIfInUse; u32 SelfRegister; u32 SharedDll
#ifndef VANTOREL_PACKAGE_LAYOUT_H
#define VANTOREL_PACKAGE_LAYOUT_H

#include "base/uninstall_names.h"

namespace layout {

constexpr int kTrailerSize = 4;

constexpr int kHeaderSize = 130;
constexpr int kTextFieldSize = 31;  // 30 characters and a NUL
constexpr int kMaxTextLength = kTextFieldSize - 1;
static_assert(kMaxTextLength == uninstall::kMaxNameLength,
              "the uninstaller reads the application's name as setup writes it");

constexpr int kAppNameOffset = 0;
constexpr int kAppVersionOffset = 31;
constexpr int kShowDestinationPageOffset = 62;
constexpr int kShowShortcutsPageOffset = 63;
constexpr int kHasLicenceOffset = 64;
constexpr int kShowWelcomePageOffset = 65;
constexpr int kRunProgramAtEndOffset = 66;
constexpr int kCheckProgramNotRunningOffset = 67;
constexpr int kProgramWindowClassOffset = 68;
constexpr int kProgramFileNameOffset = 99;
static_assert(kProgramFileNameOffset + kTextFieldSize == kHeaderSize, "header is 130 bytes");

constexpr int kStoredBlockFramingSize = 8;
constexpr int kDateTimeImageSize = 44;
constexpr int kFileVersionSize = 8;
constexpr unsigned kHasVersionPresent = 1;  // any other value: no version bytes
// The shortest serialised FileRecord: six u32, two empty texts, the time
// stamp, no version.
constexpr int kMinFileRecordSize = 6 * 4 + 2 + kDateTimeImageSize;

// Base directories of a file record.
enum DestinationType : unsigned {
  kDestinationApplication = 0,  // DestinationDir
  kDestinationWindows = 1,
  kDestinationSystem = 2,
  kDestinationFonts = 3,
  kDestinationProgramFiles = 4,
  kDestinationCommonFiles = 5,
  kDestinationTypeCount = 6,
};

// The four registry sections follow in this order.
enum RegistryRoot : int {
  kRootClasses = 0,       // HKEY_CLASSES_ROOT
  kRootCurrentUser = 1,   // HKEY_CURRENT_USER
  kRootLocalMachine = 2,  // HKEY_LOCAL_MACHINE
  kRootUsers = 3,         // HKEY_USERS
  kRegistryRootCount = 4,
};
// Their names, by RegistryRoot: as Windows spells them, and short.
constexpr const char* kRegistryRootNames[kRegistryRootCount] = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
constexpr const char* kRegistryRootShortNames[kRegistryRootCount] = {"HKCR", "HKCU", "HKLM", "HKU"};

}  // namespace layout

#endif
