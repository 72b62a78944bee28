#include "startup/temp_copy.h"

// Stand-in: the removable-media relaunch replaces this.
int LaunchTempCopy(int, bool) { return 0; }
