#include "app/install_settings.h"

InstallSettings Settings;
