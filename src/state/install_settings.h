// InstallSettings: the one process-wide record through which the run
// sequence, the install engine, the wizard, the shortcuts and the closing
// dialogs share the package header, the user's choices and the install's
// state. One GUI thread: plain global state, no locking.
#ifndef VANTOREL_STATE_INSTALL_SETTINGS_H
#define VANTOREL_STATE_INSTALL_SETTINGS_H

#include <windows.h>
#include <stdint.h>

#include "base/install_record_text.h"
#include "base/shared_string.h"
#include "package/package_header.h"

struct InstallSettings {
  PackageHeader Header;  // as read from the package, texts NUL-terminated
  // First the header's file offset from the trailer; once the header and
  // licence are read, the offset of the data block where the engine starts.
  unsigned PackageOffset = 0;
  SharedString TitleText;     // "<AppName> <AppVersion>"
  SharedString SetupCaption;  // "<AppName> Setup"; empty until the header is read
  HINSTANCE InstanceHandle = nullptr;
  SharedString DestinationDir;   // no trailing backslash
  SharedString LicenceText;      // empty without a licence block
  bool CancelRequested = false;  // set by the progress dialog's Cancel
  bool RestartNeeded = false;    // a file waits under its ".new" name
  // The uninstall log's list of shared files: those CountSharedFile met with
  // the SharedDLLs key open, one path and "\n" each; a count that could not
  // be saved (reported) is listed too.
  int SharedDllCount = 0;
  SharedString SharedDllList;
  // The uninstall log's list of shortcuts: the shortcut files written, one
  // path and "\n" each.
  int ShortcutCount = 0;
  SharedString ShortcutList;
  // The files, folders, raised counts, registry keys and values this install
  // wrote, with what earlier installs left to it, for the install record
  // (engine/install_record.h).
  InstallRecord Record;
  // The bytes of the package's files: the Uninstall entry's size.
  uint64_t FileBytes = 0;
  bool CreateProgramsShortcut = true;
  bool CreateDesktopShortcut = true;
  bool CreateStartupShortcut = true;
};

extern InstallSettings Settings;

#endif
