// Who besides administrators can change a folder. A program running with an
// administrator's token acts for the whole machine: a folder that other
// users can write, rename or re-permission is theirs to turn against it
// (a DLL planted beside a program, a folder swapped for a link). Setup makes
// the folders it creates admin-only where they would not be, secures an
// existing destination it may take, and trusts nothing else that others
// can change.
//
// "Others" are every account but the administrators' group, SYSTEM,
// TrustedInstaller, CREATOR OWNER (its entries only reach what an
// administrator then creates) and the user running the program: a folder
// the same user owns is not another user's to change.
#ifndef VANTOREL_BASE_FOLDER_SECURITY_H
#define VANTOREL_BASE_FOLDER_SECURITY_H

#include <windows.h>

// Whether this process runs with an administrator's token: the
// administrators' group is enabled in it (elevated, where Windows has
// UAC). Without one, nothing of this module applies: there is nobody to
// escalate to. The one test of the token that setup makes.
bool RunsAsAdministrator();

// Rights that let others change what a folder holds or the folder itself.
enum : DWORD {
  // Write into it, delete in it or it, or change its permissions.
  kChangeRights =
      FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER,
  // Rename or delete it or what it holds, or give themselves that.
  kReplaceRights = FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER,
};

// The rights that the entries of the folder held by `folder` (opened with
// READ_CONTROL) give others, generic rights mapped; with `inherited`, also
// those its entries pass on to what is made inside it. An owner among the
// others adds WRITE_DAC and WRITE_OWNER (an owner may always change the
// permissions). Every right when the folder has no list of entries, or
// its permissions cannot be read (or take more than 8 KiB).
DWORD RightsOfOthers(HANDLE folder, bool inherited);

// Others can write, delete or re-permission the folder or what is made
// in it.
bool IsOpenToOthers(HANDLE folder);

// The same for the folder at `path`, opened as itself for the look; a
// folder that cannot be opened counts as open.
bool IsFolderOpenToOthers(const char* path);

// The permissions Program Files has: Administrators and SYSTEM full
// control, Users read and execute, inherited by what is inside, protected
// from the parent's; owned by the administrators' group.
SECURITY_ATTRIBUTES* AdminOnlyAttributes();

// Gives the folder held by `folder` (opened with WRITE_DAC and
// WRITE_OWNER) those permissions; Windows passes them on to what it holds.
bool SecureFolder(HANDLE folder);

#endif
