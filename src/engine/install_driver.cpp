#include "engine/install_driver.h"

#include <windows.h>

#include "base/file_handles.h"
#include "base/install_journal.h"
#include "base/install_scope.h"
#include "base/messages.h"
#include "base/path_list.h"
#include "base/path_rules.h"
#include "engine/associations.h"
#include "engine/created_items.h"
#include "engine/destination_folder.h"
#include "engine/directory_path.h"
#include "engine/file_data_stream.h"
#include "engine/file_extraction.h"
#include "engine/install_record.h"
#include "engine/install_timing.h"
#include "engine/output_file.h"
#include "engine/registry_records.h"
#include "engine/setup_executable.h"
#include "engine/system_folders.h"
#include "engine/uninstall_log.h"
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
// application. Written whole beside its place first: a run killed meanwhile
// leaves the uninstaller there before, which every application installed
// for the machine shares, whole.
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
  if (perUser && !existed) JournalLine("file", path);
  Placement placement;
  if (!PlaceWholeFile(path.Middle(0, LastSeparator(path)), path, program.Data(),
                      static_cast<DWORD>(program.Length()), placement)) {
    return false;
  }
  DropMovedAside(placement);
  if (!existed) created.AddFile(path);
  if (perUser) RecordInstalledFile(layout::kDestinationApplication, path, existed);
  return true;
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

bool InstallFiles(PackageInput& input, InstallProgress& progress, InstallChanges& changes,
                  const FileDataBudget& budget) {
  InstallTimer timer(InstallPhase::kFileLoop);
  FileTable& files = changes.files;
  CreatedItems& created = changes.created;
  WrittenFiles& written = changes.written;
  FileDataStream data(budget);
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
  return extracted ? written.Place(created) : (written.Complete(created), false);
}

namespace {

InstallChanges RunChanges;

// RunInstall's steps; the journal of the install under way stays open.
bool InstallAll(InstallProgress& progress) {
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
  if (!BeginInstallUnderWay()) {
    ShowError(nullptr, Settings.SetupCaption, IDS_CREATE_REGISTRY_KEY);
    return false;
  }
  if (!PrepareDestination(RunChanges.created) || !WriteUninstaller(input, RunChanges.created) ||
      !InstallFiles(input, progress, RunChanges)) {
    return false;
  }
  // A package damaged past its files is damaged all the same.
  if (!WriteRegistry(input)) {
    RunChanges.written.Undo(RunChanges.created);
    return false;
  }
  file.Close();
  progress.Close();
  WriteInstallTiming();
  return true;
}

}  // namespace

bool RunInstall(InstallProgress& progress) {
  if (InstallAll(progress)) return true;
  EndInstallUnderWay(false);
  return false;
}

bool CompleteInstall() {
  RunChanges.written.RaiseSharedCounts();
  if (WriteUninstallLog()) {
    RunChanges.written.Finish();
    EndInstallUnderWay(true);
    return true;
  }
  RunChanges.written.Undo(RunChanges.created);
  SharedString link;
  for (int position = 0; NextPath(Settings.ShortcutList, position, link);) DeleteItself(link);
  EndInstallUnderWay(false);
  return false;
}
