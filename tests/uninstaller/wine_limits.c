/* What Wine 8 does otherwise than Windows, which the uninstaller and setup
   work around (base/file_handles.h); not a test, a demonstration:
     wine_limits FOLDER LINK
   FOLDER holds a file "f.txt"; LINK is a link to FOLDER (a junction on
   Windows, `ln -s` from the Linux side under Wine). Windows prints
   "link opened as itself: 1", "folder renamed while its file is open: 0";
   Wine 8 prints 0 and 1: FILE_FLAG_OPEN_REPARSE_POINT opens what the link
   leads to, and a handle held without FILE_SHARE_DELETE keeps only its own
   file, not the folders above it, from being renamed. */
#include <windows.h>
#include <stdio.h>

int main(int argc, char** argv) {
  char file[MAX_PATH], moved[MAX_PATH];
  if (argc != 3) return 2;
  HANDLE link = CreateFileA(argv[2], FILE_READ_ATTRIBUTES, 7, NULL, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
  BY_HANDLE_FILE_INFORMATION info = {0};
  GetFileInformationByHandle(link, &info);
  printf("link opened as itself: %d\n",
         (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0);
  snprintf(file, sizeof file, "%s\\f.txt", argv[1]);
  snprintf(moved, sizeof moved, "%s moved", argv[1]);
  HANDLE held = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  int renamed = held != INVALID_HANDLE_VALUE && MoveFileA(argv[1], moved);
  printf("folder renamed while its file is open: %d\n", renamed);
  CloseHandle(held);
  if (renamed) MoveFileA(moved, argv[1]);
  return 0;
}
