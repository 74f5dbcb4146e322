#include "state/install_settings.h"

InstallSettings Settings;
