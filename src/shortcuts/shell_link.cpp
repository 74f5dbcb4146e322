#include "shortcuts/shell_link.h"

#include <windows.h>
#include <shlobj.h>

bool CreateShellLink(const char* linkPath, const char* targetPath, const char* workingDirectory,
                     int showCommand) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    return false;
  }
  IPersistFile* file = nullptr;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    link->Release();
    return false;
  }
  // Every property is tried even after one failed; any failure fails the
  // link.
  bool written = SUCCEEDED(link->SetPath(targetPath));
  if (FAILED(link->SetWorkingDirectory(workingDirectory))) written = false;
  if (showCommand != SW_SHOWNORMAL) link->SetShowCmd(showCommand);
  // A path that does not fit is not saved cut short, where it would name
  // another file.
  WCHAR widePath[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) == 0 ||
      FAILED(file->Save(widePath, TRUE))) {
    written = false;
  }
  file->Release();
  link->Release();
  return written;
}
