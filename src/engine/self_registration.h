// Self-registering files (COM servers and the like) are registered by the
// system's RegSvr32, started for each one and waited for.
#ifndef VANTOREL_ENGINE_SELF_REGISTRATION_H
#define VANTOREL_ENGINE_SELF_REGISTRATION_H

// Runs "<system>\RegSvr32.exe <short path> /s" for `path` to its end. When
// it cannot be started, or setup runs as an administrator and the file's
// folder is open to others (base/folder_security.h), IDS_REGISTER_FILE names
// `path`; the install goes on either way.
void RegisterFile(const char* path);

#endif
