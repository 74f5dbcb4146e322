#include "engine/install_driver.h"

#include <windows.h>

#include "base/install_scope.h"
#include "base/messages.h"
#include "engine/associations.h"
#include "engine/created_items.h"
#include "engine/directory_path.h"
#include "engine/file_data_stream.h"
#include "engine/file_extraction.h"
#include "engine/install_record.h"
#include "engine/install_timing.h"
#include "engine/output_file.h"
#include "engine/registry_records.h"
#include "engine/setup_executable.h"
#include "engine/system_folders.h"
#include "engine/written_files.h"
#include "package/file_table.h"
#include "package/header_reader.h"
#include "package/layout.h"
#include "package/stored_block.h"
#include "state/install_settings.h"

namespace {

// D1: the uninstaller, written into the Windows directory, or a per-user
// package's into the destination folder, made and held as for the
// application's files, and recorded among them: it goes with the
// application.
bool WriteUninstaller(PackageInput& input, CreatedItems& created) {
  BlockBuffer program;
  if (!ReadStoredBlock(input, StoredBlockVariant::kUninstaller, &program)) return false;
  const SharedString path = UninstallerPath();
  const bool perUser = IsPerUserScope();
  SharedString notItself;
  if (perUser && !CreateDirectoryPath(Settings.DestinationDir, &created, nullptr, &notItself)) {
    ShowError(nullptr, Settings.SetupCaption, IDS_CREATE_DIRECTORY,
              notItself.IsEmpty() ? Settings.DestinationDir : notItself);
    return false;
  }
  bool existed = FileExists(path);
  HANDLE file = CreateOutputFile(path);
  if (file == INVALID_HANDLE_VALUE) return false;
  if (!existed) created.AddFile(path);
  if (perUser) RecordInstalledFile(layout::kDestinationApplication, path, existed);
  return WriteAndClose(file, path, program.Data(), program.Length());
}

uint64_t TotalFileSize(const FileTable& files) {
  uint64_t total = 0;  // at most 2^31 sizes below 2^32: cannot overflow
  for (int i = 0; i < files.Count(); ++i) total += files[i].FileSize;
  return total;
}

// D4 to D8.
bool WriteRegistry(PackageInput& input) {
  RegistryWriter registry(Settings.DestinationDir);
  if (!ReadRegistrySections(input, registry)) return false;
  AssociationWriter associations(Settings.DestinationDir);
  if (!ReadAssociations(input, associations)) return false;
  associations.Finish();
  return true;
}

}  // namespace

bool InstallFiles(PackageInput& input, InstallProgress& progress, CreatedItems& created,
                  const FileDataBudget& budget) {
  InstallTimer timer(InstallPhase::kFileLoop);
  FileTable files;
  FileDataStream data(budget);
  WrittenFiles written;
  if (!ReadFileTable(input, &files)) {
    created.RemoveAll();
    return false;
  }
  if (files.Count() == 0) return true;
  if (!written.Reserve(files)) {
    ReportOutOfMemory(input);
    created.RemoveAll();
    return false;
  }
  if (!data.Start(input, progress)) {
    created.RemoveAll();
    return false;
  }
  progress.SetPhase(IDS_CREATING_FILES);
  progress.ShowBar(static_cast<unsigned>(files.Count()));
  // Every file, kept ones too, must lie within the data.
  uint64_t end = TotalFileSize(files);
  Settings.FileBytes = end;
  bool extracted = ExtractFiles(files, data, progress, created, written);
  if (!(extracted ? data.Finish(end) : data.Drain(end))) {
    written.Discard();
    created.RemoveAll();
    return false;
  }
  return written.Complete(created) && extracted;
}

bool RunInstall(InstallProgress& progress) {
  const SharedString setupPath = SetupExecutablePath();
  Win32PackageFile file;
  if (!OpenSetupExecutable(file, setupPath, Settings.SetupCaption)) return false;
  PackageInput input = {&file, setupPath, Settings.SetupCaption};
  // The trailer again, for where the package's data ends (before the
  // certificate table in a signed file).
  uint32_t headerOffset = 0;
  if (!ReadPackageTrailer(input, &headerOffset)) return false;
  if (!file.Seek(Settings.PackageOffset)) {
    ReportReadFailure(input);
    return false;
  }
  // On failure the progress stays until the process ends; the file closes
  // here.
  CreatedItems created;
  if (!WriteUninstaller(input, created) || !InstallFiles(input, progress, created) ||
      !WriteRegistry(input)) {
    return false;
  }
  file.Close();
  progress.Close();
  WriteInstallTiming();
  return true;
}
