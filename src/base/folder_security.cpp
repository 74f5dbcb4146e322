#include "base/folder_security.h"

#include <string.h>

#include "base/file_handles.h"

namespace {

// SIDs as Windows stores them: revision 1, the count of sub-authorities,
// the 6-byte authority (big-endian), the sub-authorities (little-endian).
const BYTE kSystem[] = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};
const BYTE kCreatorOwner[] = {1, 1, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0};
const BYTE kAdministrators[] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0};
// S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464
const BYTE kTrustedInstaller[] = {1,    6,    0,    0,    0,    0,    0,    5,    80,   0,    0,
                                  0,    0xB5, 0x89, 0xFB, 0x38, 0x19, 0x84, 0xC2, 0xCB, 0x5C, 0x6C,
                                  0x23, 0x6D, 0x57, 0x00, 0x77, 0x6E, 0xC0, 0x02, 0x64, 0x87};

// Program Files' permissions as a self-relative descriptor: owner
// Administrators; a protected list of three entries inherited by folders
// and files inside (OI|CI): Administrators and SYSTEM FILE_ALL_ACCESS,
// Users (S-1-5-32-545) read and execute.
alignas(4) BYTE kAdminOnly[] = {
    1, 0, 0x04, 0x90, 20,   0,    0,    0,    0,    0, 0, 0, 0,    0, 0, 0, 36, 0, 0,  0,  // header
    1, 2, 0,    0,    0,    0,    0,    5,    32,   0, 0, 0, 0x20, 2, 0, 0,                // owner
    2, 0, 76,   0,    3,    0,    0,    0,  // the list
    0, 3, 24,   0,    0xFF, 0x01, 0x1F, 0,    1,    2, 0, 0, 0,    0, 0, 5, 32, 0, 0,  0, 0x20, 2,
    0, 0, 0,    3,    20,   0,    0xFF, 0x01, 0x1F, 0, 1, 1, 0,    0, 0, 0, 0,  5, 18, 0, 0,    0,
    0, 3, 24,   0,    0xA9, 0x00, 0x12, 0,    1,    2, 0, 0, 0,    0, 0, 5, 32, 0, 0,  0, 0x21, 2,
    0, 0};
const int kOwnerOffset = 20, kListOffset = 36;

int SidLength(const BYTE* sid) { return 8 + 4 * sid[1]; }

bool IsSid(const BYTE* sid, const BYTE* known) { return memcmp(sid, known, SidLength(known)) == 0; }

// The token's user, and whether its administrators' group is enabled
// (not only for denying, as in the filtered token UAC gives).
struct TokenFacts {
  bool read = false;
  bool administrator = false;
  BYTE user[SECURITY_MAX_SID_SIZE] = {};
};

const TokenFacts& Token() {
  static TokenFacts facts;
  if (facts.read) return facts;
  facts.read = true;
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return facts;
  DWORD size = 0;
  // Room for the hundreds of groups of a domain's user.
  alignas(8) BYTE scratch[16384];
  const TOKEN_GROUPS* groups = reinterpret_cast<TOKEN_GROUPS*>(scratch);
  if (GetTokenInformation(token, TokenGroups, scratch, sizeof scratch, &size)) {
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
      const SID_AND_ATTRIBUTES& group = groups->Groups[i];
      if (IsSid(static_cast<BYTE*>(group.Sid), kAdministrators) &&
          (group.Attributes & (SE_GROUP_ENABLED | SE_GROUP_USE_FOR_DENY_ONLY)) ==
              SE_GROUP_ENABLED) {
        facts.administrator = true;
      }
    }
  }
  if (GetTokenInformation(token, TokenUser, scratch, sizeof scratch, &size)) {
    const BYTE* sid = static_cast<BYTE*>(reinterpret_cast<TOKEN_USER*>(scratch)->User.Sid);
    memcpy(facts.user, sid, SidLength(sid));
  }
  CloseHandle(token);
  return facts;
}

bool IsOthers(const BYTE* sid) {
  return !IsSid(sid, kAdministrators) && !IsSid(sid, kSystem) && !IsSid(sid, kCreatorOwner) &&
         !IsSid(sid, kTrustedInstaller) && !IsSid(sid, Token().user);
}

// The rights of one entry of a list, generic ones mapped as for files.
DWORD MappedRights(DWORD mask) {
  if (mask & GENERIC_ALL) mask |= FILE_ALL_ACCESS;
  if (mask & GENERIC_WRITE) mask |= FILE_GENERIC_WRITE;
  return mask;
}

// What the entries of `list` allow others; inherit-only ones only when
// `inherited`. Entries of the allowing kinds whose account cannot be read
// here (object entries) count as others'.
DWORD RightsInList(const BYTE* list, bool inherited) {
  DWORD rights = 0;
  const int count = list[4] | list[5] << 8;
  const BYTE* entry = list + 8;
  for (int i = 0; i < count; ++i) {
    const BYTE type = entry[0], flags = entry[1];
    const bool allows = type == ACCESS_ALLOWED_ACE_TYPE || type == ACCESS_ALLOWED_CALLBACK_ACE_TYPE;
    const bool objectAllows =
        type == ACCESS_ALLOWED_OBJECT_ACE_TYPE || type == ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE;
    if ((allows || objectAllows) && (inherited || (flags & INHERIT_ONLY_ACE) == 0) &&
        (objectAllows || IsOthers(entry + 8))) {
      DWORD mask;
      memcpy(&mask, entry + 4, sizeof mask);
      rights |= MappedRights(mask);
    }
    entry += entry[2] | entry[3] << 8;
  }
  return rights;
}

typedef DWORD(WINAPI* SetSecurityFunction)(HANDLE, int, SECURITY_INFORMATION, PSID, PSID, PACL,
                                           PACL);

}  // namespace

bool RunsAsAdministrator() { return Token().administrator; }

DWORD RightsOfOthers(HANDLE folder, bool inherited) {
  alignas(8) BYTE scratch[8192];
  DWORD needed = 0;
  if (!GetKernelObjectSecurity(folder, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                               scratch, sizeof scratch, &needed)) {
    return FILE_ALL_ACCESS;
  }
  // SECURITY_DESCRIPTOR_RELATIVE: control at 2, the owner's offset at 4,
  // the list's at 16.
  DWORD owner, list;
  memcpy(&owner, scratch + 4, sizeof owner);
  memcpy(&list, scratch + 16, sizeof list);
  if ((scratch[2] & SE_DACL_PRESENT) == 0 || list == 0) return FILE_ALL_ACCESS;
  DWORD rights = RightsInList(scratch + list, inherited);
  if (owner == 0 || IsOthers(scratch + owner)) rights |= WRITE_DAC | WRITE_OWNER;
  return rights;
}

bool IsOpenToOthers(HANDLE folder) { return (RightsOfOthers(folder, true) & kChangeRights) != 0; }

bool IsFolderOpenToOthers(const char* path) {
  HANDLE folder = OpenItself(path, READ_CONTROL | FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  if (folder == INVALID_HANDLE_VALUE) return true;
  const bool open = !HoldsItself(folder, path) || IsOpenToOthers(folder);
  CloseHandle(folder);
  return open;
}

SECURITY_ATTRIBUTES* AdminOnlyAttributes() {
  static SECURITY_ATTRIBUTES attributes = {sizeof attributes, kAdminOnly, FALSE};
  return &attributes;
}

bool SecureFolder(HANDLE folder) {
  // SetSecurityInfo, unlike SetKernelObjectSecurity, passes the entries on
  // to what the folder already holds (Windows 2000 on). Wine 8's keeps
  // merging the parent's inheritable entries into a protected list; the
  // descriptor set as it is afterwards keeps the folder's own list right.
  const SetSecurityFunction set = reinterpret_cast<SetSecurityFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "SetSecurityInfo")));
  return set != nullptr &&
         set(folder, 1 /* SE_FILE_OBJECT */,
             OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                 PROTECTED_DACL_SECURITY_INFORMATION,
             kAdminOnly + kOwnerOffset, nullptr, reinterpret_cast<PACL>(kAdminOnly + kListOffset),
             nullptr) == ERROR_SUCCESS &&
         SetKernelObjectSecurity(folder, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                 kAdminOnly);
}
