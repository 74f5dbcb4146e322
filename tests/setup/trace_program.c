/* The installed program of the setup tests. Started, it writes the folder
   it was started in to "started-in.txt" in that folder and ends: the trace
   of a program that setup ran at the end of the install. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  char folder[MAX_PATH];
  DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
  HANDLE trace;
  DWORD written;
  (void)instance;
  (void)previous;
  (void)commandLine;
  (void)show;
  if (length == 0 || length >= MAX_PATH) return 2;
  trace = CreateFileA("started-in.txt", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, NULL);
  if (trace == INVALID_HANDLE_VALUE) return 3;
  WriteFile(trace, folder, length, &written, NULL);
  CloseHandle(trace);
  return 0;
}
