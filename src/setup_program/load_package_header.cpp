#include "setup_program/load_package_header.h"

#include "base/messages.h"
#include "engine/setup_executable.h"
#include "engine/system_folders.h"
#include "package/header_reader.h"
#include "package/whole_package.h"
#include "state/install_settings.h"

namespace {

void DeriveTexts() {
  const PackageHeader& header = Settings.Header;
  FormatString(Settings.TitleText, "%s %s", header.AppName, header.AppVersion);
  FormatString(Settings.SetupCaption, "%s Setup", header.AppName);
  SharedString applications = GetApplicationsDirectory();
  FormatString(Settings.DestinationDir, "%s\\%s", applications.Text(), header.AppName);
  // Running out of memory from now on is reported under the setup's name.
  SetFatalCaption(Settings.SetupCaption);
}

}  // namespace

bool LoadPackageHeader() {
  const SharedString path = SetupExecutablePath();
  Win32PackageFile file;
  if (!OpenSetupExecutable(file, path, kProductCaption)) return false;
  PackageInput input = {&file, path, kProductCaption};

  uint32_t headerOffset = 0;
  if (!ReadPackageTrailer(input, &headerOffset)) return false;
  // The package lies behind the program's own image. A trailer pointing
  // into the image means nothing was appended: the last four bytes of the
  // program itself were taken for a trailer.
  if (!CheckPackageBehindImage(input, headerOffset)) return false;
  if (!ReadPackageHeader(input, headerOffset, &Settings.Header)) return false;

  // From here on failures carry the setup caption, which is still empty:
  // the texts are derived only once the licence has been read.
  input.caption = Settings.SetupCaption;
  if (Settings.Header.HasLicence != 0 && !ReadLicence(input, &Settings.LicenceText)) return false;
  // The engine's start offset is 32 bits wide, like the trailer.
  if (file.Position() > 0xFFFFFFFFu) {
    ReportReadFailure(input);
    return false;
  }
  Settings.PackageOffset = static_cast<unsigned>(file.Position());
  DeriveTexts();
  return true;
}
