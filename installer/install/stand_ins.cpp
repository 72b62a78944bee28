#include "install/destination.h"
#include "install/install_run.h"

const uint8_t* ScreenSaverEntry;

// Stand-in: the file table's extraction step replaces this.
void ResolveDestination(const uint8_t*) {}

// Stand-in: the per-entry step replaces this; until then a table holds
// nothing to install.
int InstallNextEntry() { return 0; }
