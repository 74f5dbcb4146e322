/* vtdemoreg.dll: the demo's self-registering library. The setup program has
   RegSvr32 call its DllRegisterServer, as it would for a COM server; this
   one records where it was registered from:
     HKEY_CURRENT_USER\Software\Vantorel\Demo\Component  "Path" = its long path
   DllUnregisterServer takes the key away again. */
#include <windows.h>
#include <olectl.h>

static const char kComponentKey[] = "Software\\Vantorel\\Demo\\Component";

static HINSTANCE module;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) module = instance;
  return TRUE;
}

__declspec(dllexport) HRESULT WINAPI DllRegisterServer(void) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(module, path, sizeof path);
  HKEY key;
  LONG result;
  if (length == 0 || length >= sizeof path) return SELFREG_E_CLASS;
  /* RegSvr32 is usually given the short form; the long one reads better. */
  length = GetLongPathNameA(path, path, sizeof path);
  if (length == 0 || length >= sizeof path) return SELFREG_E_CLASS;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kComponentKey, 0, NULL, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, NULL, &key, NULL) != ERROR_SUCCESS)
    return SELFREG_E_CLASS;
  result = RegSetValueExA(key, "Path", 0, REG_SZ, (const BYTE*)path, length + 1);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

__declspec(dllexport) HRESULT WINAPI DllUnregisterServer(void) {
  LONG result = RegDeleteKeyA(HKEY_CURRENT_USER, kComponentKey);
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}
