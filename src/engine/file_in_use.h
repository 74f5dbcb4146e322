// Installed files that a program keeps in use, where their replacement
// cannot wait for the next start of Windows.
#ifndef VANTOREL_ENGINE_FILE_IN_USE_H
#define VANTOREL_ENGINE_FILE_IN_USE_H

// Whether a file of `folder` may be replaced at the next start of Windows.
// Windows carries out such a replacement by the path, after setup has
// ended and let its folders go: run as an administrator, setup schedules
// one only when no folder on the way, from the drive down, lets others
// rename or replace it or what it holds (base/folder_security.h
// kReplaceRights), and never on a network path.
bool MayReplaceAtRestart(const char* folder);

// Asks the user to close the program that uses the file at `path`, named
// as Windows' Restart Manager names it (Windows Vista on; "a program"
// where it cannot tell): IDS_FILE_IN_USE, Retry or Cancel. True for Retry.
bool AskToCloseProgramUsing(const char* path);

#endif
