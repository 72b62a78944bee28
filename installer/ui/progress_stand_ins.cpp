#include "install/install_run.h"

// Stand-ins: the progress page binds these to its bar and texts.
void ShowProgressPercent(int) {}
void ShowCurrentFile(const char*) {}
