#include "engine/held_folders.h"

HeldFolders HeldApplicationFolders;

void ReleaseHeldFolders() { HeldApplicationFolders.ReleaseAll(); }
