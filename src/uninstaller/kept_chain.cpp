#include "uninstaller/kept_chain.h"

#include <windows.h>

#include "base/file_handles.h"
#include "base/path_list.h"
#include "base/uninstall_key.h"
#include "base/uninstall_names.h"

namespace {

bool WriteOwnFile(const SharedString& folder, const char* name, const SharedString& text) {
  HANDLE file = CreateOwnFile(folder + "\\" + name);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool complete =
      WriteFile(file, text.Text(), static_cast<DWORD>(text.Length()), &written, nullptr) &&
      written == static_cast<DWORD>(text.Length());
  CloseHandle(file);
  return complete;
}

}  // namespace

bool KeepChain(const SharedString& folder, const UninstallLog& log, const InstallRecord& record,
               const SharedString& stayed) {
  SharedString logText = log.appName + "\n";
  logText += log.checkProgramNotRunning
                 ? SharedString(uninstall::kCheckLine) + "\n" + log.windowClass + "\n"
                 : SharedString(uninstall::kNoCheckLine) + "\n";
  logText += "0\n0\n";
  InstallRecord kept;
  kept.appName = record.appName;
  if (ListHoldsPath(record.folders, ".")) AppendPath(kept.folders, ".");
  kept.earlierInstalls = stayed;
  const SharedString recordText = InstallRecordText(kept);
  return WriteOwnFile(folder, uninstall::kLogName, logText) &&
         WriteOwnFile(folder, uninstall::kRecordName, recordText) &&
         WriteEntryDigests(log.appName, logText, recordText);
}
