// Moved to base/system_library.h (the uninstaller needs it too); include
// that. This forwarder goes once no file includes it.
#include "base/system_library.h"
