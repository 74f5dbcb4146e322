#include "shortcuts/shortcuts.h"

#include <windows.h>

#include "base/install_journal.h"
#include "base/messages.h"
#include "base/path_list.h"
#include "base/run_log.h"
#include "base/shell_folder.h"
#include "base/uninstall_names.h"
#include "shortcuts/shell_link.h"
#include "state/install_settings.h"

namespace {

struct ShortcutFolder {
  bool InstallSettings::*chosen;
  int csidl;
  const char* label;  // names the folder in IDS_FOLDER_PATH
};

const ShortcutFolder kShortcutFolders[] = {
    {&InstallSettings::CreateProgramsShortcut, uninstall::kProgramsFolder, "Programs"},
    {&InstallSettings::CreateDesktopShortcut, uninstall::kDesktopFolder, "Desktop"},
    {&InstallSettings::CreateStartupShortcut, uninstall::kStartupFolder, "Startup"},
};

}  // namespace

void CreateShortcut(const char* targetPath, int csidl, const char* folderLabel) {
  // A folder the shell knows but that has no file-system path counts as not
  // found: the link would otherwise land in the current directory.
  SharedString folder;
  if (!GetSpecialFolderPath(folder, csidl) || folder.IsEmpty()) {
    ShowError(nullptr, Settings.SetupCaption, IDS_FOLDER_PATH, folderLabel);
    return;
  }
  SharedString linkPath;
  FormatString(linkPath, "%s\\%s.lnk", folder.Text(), Settings.Header.AppName);
  if (!JournalLine("file", linkPath) ||
      !CreateShellLink(linkPath, targetPath, Settings.DestinationDir, SW_SHOWNORMAL)) {
    ShowError(nullptr, Settings.SetupCaption, IDS_CREATE_SHORTCUT);
    return;
  }
  LogLine("Shortcut: %s", linkPath.Text());
  AppendPath(Settings.ShortcutList, linkPath);
  ++Settings.ShortcutCount;
}

void CreateShortcuts() {
  SharedString targetPath;
  FormatString(targetPath, "%s\\%s", Settings.DestinationDir.Text(),
               Settings.Header.ProgramFileName);
  for (const ShortcutFolder& folder : kShortcutFolders) {
    if (Settings.*folder.chosen) CreateShortcut(targetPath, folder.csidl, folder.label);
  }
}
