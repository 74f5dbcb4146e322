#include "engine/destination_folder.h"

#include "base/folder_owner.h"
#include "base/folder_security.h"
#include "base/messages.h"
#include "engine/directory_path.h"
#include "engine/held_folders.h"
#include "state/install_settings.h"

bool PrepareDestination(CreatedItems& created) {
  const SharedString& destination = Settings.DestinationDir;
  SharedString notItself;
  if (!CreateDirectoryPath(destination, &created, nullptr, &notItself)) {
    ShowError(nullptr, Settings.SetupCaption, IDS_CREATE_DIRECTORY,
              notItself.IsEmpty() ? destination : notItself);
    return false;
  }
  unsigned refusal = DestinationRefusal(destination, Settings.Header.AppName, Settings.Record);
  HANDLE held = HeldApplicationFolders.Find(destination);
  if (refusal == 0 && RunsAsAdministrator() && (held == nullptr || IsOpenToOthers(held))) {
    // Secured first, then looked at: nothing can be added once it is.
    if (held == nullptr || !SecureFolder(held) || !HoldsOnlyRecorded(destination, Settings.Record))
      refusal = IDS_FOLDER_OPEN;
  }
  if (refusal != 0) ShowError(nullptr, Settings.SetupCaption, refusal, destination);
  return refusal == 0;
}
