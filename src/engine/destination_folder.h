// The destination folder as the install takes it, before anything is
// written: made, held, and, for an administrator, only administrators'.
#ifndef VANTOREL_ENGINE_DESTINATION_FOLDER_H
#define VANTOREL_ENGINE_DESTINATION_FOLDER_H

#include "engine/created_items.h"

// Makes every missing level of DestinationDir (admin-only where it would
// be open to others, engine/directory_path.h) and holds them all; adds
// the earlier installs to InstallSettings' Record (base/earlier_installs.h).
// An existing destination that others can change (base/folder_security.h),
// when setup runs as an administrator, is secured through the handle that
// holds it when it is empty or holds only the application's earlier
// install, and looked at again after. False after the message that says
// why setup cannot install there (base/folder_owner.h DestinationRefusal,
// or IDS_CREATE_DIRECTORY); what it made is in `created`.
bool PrepareDestination(CreatedItems& created);

#endif
