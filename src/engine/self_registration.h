// Self-registering files (COM servers and the like) are registered by the
// system's RegSvr32, started for each one and not waited for.
#ifndef VANTOREL_ENGINE_SELF_REGISTRATION_H
#define VANTOREL_ENGINE_SELF_REGISTRATION_H

// Starts "<system>\RegSvr32.exe <short path> /s" for `path`. When it cannot
// be started, IDS_REGISTER_FILE names `path`; the install goes on either way.
void RegisterFile(const char* path);

#endif
