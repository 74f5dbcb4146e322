#include "shortcuts/shortcuts.h"

// STAND-IN until shell links are built: no shortcut is made, so ShortcutList
// stays empty and ShortcutCount 0, as when no choice is set.
void CreateShortcuts() {}
