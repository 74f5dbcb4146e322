#include "ui/destination_choice.h"

#include "base/folder_owner.h"
#include "base/messages.h"
#include "base/path_rules.h"
#include "state/install_settings.h"

bool TakeDestination(HWND owner, const char* text) {
  const SharedString typed(text);  // `text` may be DestinationDir itself
  SharedString destination;
  if (!DestinationFromText(typed, destination)) {
    ShowError(owner, Settings.SetupCaption, IDS_DESTINATION_REFUSED, typed);
    return false;
  }
  if (HoldsAnotherApplication(destination, Settings.Header.AppName)) {
    ShowError(owner, Settings.SetupCaption, IDS_OTHER_APPLICATION, destination);
    return false;
  }
  Settings.DestinationDir = destination;
  return true;
}
