#include "install/destination.h"

const uint8_t* ScreenSaverEntry;

// Stand-in: the file table's extraction step replaces this.
void ResolveDestination(const uint8_t*) {}
