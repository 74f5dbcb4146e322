/* Stands in for a browser or mail program: appends the command line it was
   started with, one line each time, to launches.txt beside itself. Tests
   copy it under the names the cases need (iexplore.exe, ...). */
#include <windows.h>
#include <stdio.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int show) {
  char log[MAX_PATH];
  DWORD length = GetModuleFileNameA(NULL, log, MAX_PATH);
  char* name = strrchr(log, '\\');
  FILE* out;
  (void)instance;
  (void)previous;
  (void)arguments;
  (void)show;
  if (length == 0 || length >= MAX_PATH || name == NULL || name + 13 - log >= MAX_PATH) return 1;
  strcpy(name + 1, "launches.txt");
  out = fopen(log, "a");
  if (out == NULL) return 1;
  fprintf(out, "%s\n", GetCommandLineA());
  fclose(out);
  return 0;
}
