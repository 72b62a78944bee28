// Registers itself as a COM server would; selfreg.def exports these two
// under the entry points' names.
#include "log_line.h"

static HMODULE self;

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  (void)reason, (void)reserved;
  self = module;
  return TRUE;
}

long Register(void) { return LogLine(self, "register"), 0; }
long Unregister(void) { return LogLine(self, "unregister"), 0; }
