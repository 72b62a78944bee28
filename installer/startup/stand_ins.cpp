#include "startup/temp_copy.h"

// Stand-in: the removable-media relaunch replaces this.
int LaunchTempCopy(int, bool) { return 0; }

// Stand-in: the restart-time rename and delete replace this.
void MoveFileAtRestart(const char*, const char*) {}
