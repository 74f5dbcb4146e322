#include "engine/install_driver.h"

#include <windows.h>

#include "app/install_settings.h"
#include "base/messages.h"
#include "engine/associations.h"
#include "engine/file_data_stream.h"
#include "engine/file_extraction.h"
#include "engine/registry_records.h"
#include "engine/setup_executable.h"
#include "engine/system_folders.h"
#include "package/file_table.h"
#include "package/stored_block.h"
#include "ui/progress_dialog.h"

namespace {

const char kUninstallerName[] = "VTUnInst.exe";

// D1: the uninstaller, written into the Windows directory.
bool WriteUninstaller(PackageInput& input) {
  BlockBuffer program;
  if (!ReadStoredBlock(input, StoredBlockVariant::kUninstaller, &program)) return false;
  SharedString path;
  GetDestinationBase(layout::kDestinationWindows, path);
  path += '\\';
  path += kUninstallerName;
  HANDLE file = INVALID_HANDLE_VALUE;
  if (path.Length() < MAX_PATH) {
    file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) {
    ShowError(nullptr, Settings.SetupCaption, IDS_OPEN_FILE, path);
    return false;
  }
  DWORD written = 0;
  bool complete = WriteFile(file, program.Data(), program.Length(), &written, nullptr) &&
                  written == program.Length();
  CloseHandle(file);
  if (!complete) ShowError(nullptr, Settings.SetupCaption, IDS_WRITE_FILE, path);
  return complete;
}

// D2 and D3 with the file loop, which writes while the data is unpacked.
bool InstallFiles(PackageInput& input, HWND dialog) {
  FileTable files;
  if (!ReadFileTable(input, &files)) return false;
  if (files.Count() == 0) return true;
  FileDataStream data;
  if (!data.Start(input, dialog)) return false;
  SetProgressPhase(dialog, IDS_CREATING_FILES);
  ShowProgressBar(dialog, static_cast<unsigned>(files.Count()));
  return ExtractFiles(files, data, dialog) && data.Finish();
}

// D4 to D8.
bool WriteRegistry(PackageInput& input) {
  RegistryWriter registry(Settings.DestinationDir);
  if (!ReadRegistrySections(input, registry)) return false;
  AssociationWriter associations;
  if (!ReadAssociations(input, associations)) return false;
  associations.Finish();
  return true;
}

}  // namespace

bool RunInstall() {
  HWND dialog = CreateProgressDialog();
  SetProgressPhase(dialog, IDS_READING_DATA);

  const SharedString setupPath = SetupExecutablePath();
  Win32PackageFile file;
  if (!OpenSetupExecutable(file, setupPath, Settings.SetupCaption)) return false;
  PackageInput input = {&file, setupPath, Settings.SetupCaption};
  if (!file.Seek(Settings.PackageOffset)) {
    ReportReadFailure(input);
    return false;
  }
  // On failure the dialog stays until the process ends; the file closes here.
  if (!WriteUninstaller(input) || !InstallFiles(input, dialog) || !WriteRegistry(input)) {
    return false;
  }
  file.Close();
  DestroyProgressDialog(dialog);
  return true;
}
