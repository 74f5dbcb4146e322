// A shell link (.lnk file) written through the shell's own link object.
#ifndef VANTOREL_SHORTCUTS_SHELL_LINK_H
#define VANTOREL_SHORTCUTS_SHELL_LINK_H

// Writes `linkPath` pointing at `targetPath`, started in `workingDirectory`;
// `showCommand` other than SW_SHOWNORMAL is stored too. An existing file of
// that name is replaced. False when the link object is unavailable, a
// property cannot be set, or the file cannot be saved, among others because
// its path does not fit in MAX_PATH UTF-16 units. Needs COM on the thread.
bool CreateShellLink(const char* linkPath, const char* targetPath, const char* workingDirectory,
                     int showCommand);

#endif
