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
  InstallRecord earlier;
  const unsigned refusal = HoldsAnotherApplication(destination, Settings.Header.AppName)
                               ? unsigned{IDS_OTHER_APPLICATION}
                               : DestinationRefusal(destination, Settings.Header.AppName, earlier);
  if (refusal != 0) {
    ShowError(owner, Settings.SetupCaption, refusal, destination);
    return false;
  }
  Settings.DestinationDir = destination;
  return true;
}
