#include "system/shortcuts.h"

// Stand-in: the shortcut maker replaces this.
void CreateStartMenuShortcuts(FileHandle) {}
