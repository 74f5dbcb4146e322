// PackageHeader: the package's fixed 130-byte header, kept in memory exactly
// as it is stored (offsets in layout.h). The reader ends every text inside
// its field, so each is a NUL-terminated string of at most 30 characters even
// when the stored field had no NUL.
#ifndef VANTOREL_PACKAGE_PACKAGE_HEADER_H
#define VANTOREL_PACKAGE_PACKAGE_HEADER_H

#include <stddef.h>

#include "package/layout.h"

struct PackageHeader {
  char AppName[layout::kTextFieldSize];
  char AppVersion[layout::kTextFieldSize];
  unsigned char ShowDestinationPage;
  unsigned char ShowShortcutsPage;
  unsigned char HasLicence;
  unsigned char ShowWelcomePage;
  unsigned char RunProgramAtEnd;
  unsigned char CheckProgramNotRunning;
  char ProgramWindowClass[layout::kTextFieldSize];
  char ProgramFileName[layout::kTextFieldSize];
};

static_assert(sizeof(PackageHeader) == layout::kHeaderSize, "header image is 130 bytes");
static_assert(offsetof(PackageHeader, AppVersion) == layout::kAppVersionOffset, "AppVersion");
static_assert(offsetof(PackageHeader, ShowDestinationPage) == layout::kShowDestinationPageOffset,
              "ShowDestinationPage");
static_assert(offsetof(PackageHeader, ShowShortcutsPage) == layout::kShowShortcutsPageOffset,
              "ShowShortcutsPage");
static_assert(offsetof(PackageHeader, HasLicence) == layout::kHasLicenceOffset, "HasLicence");
static_assert(offsetof(PackageHeader, ShowWelcomePage) == layout::kShowWelcomePageOffset,
              "ShowWelcomePage");
static_assert(offsetof(PackageHeader, RunProgramAtEnd) == layout::kRunProgramAtEndOffset,
              "RunProgramAtEnd");
static_assert(offsetof(PackageHeader, CheckProgramNotRunning) ==
                  layout::kCheckProgramNotRunningOffset,
              "CheckProgramNotRunning");
static_assert(offsetof(PackageHeader, ProgramWindowClass) == layout::kProgramWindowClassOffset,
              "ProgramWindowClass");
static_assert(offsetof(PackageHeader, ProgramFileName) == layout::kProgramFileNameOffset,
              "ProgramFileName");

#endif
