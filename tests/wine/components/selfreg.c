// Registers itself as a COM server would; selfreg.def exports these two
// under the entry points' names.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

static HMODULE self;

// Appends a line to selfreg.dll.log beside the library.
static void LogLine(const char* line) {
  char path[MAX_PATH + 8];
  DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
  FILE* log = n && n < MAX_PATH ? fopen(lstrcatA(path, ".log"), "ab") : NULL;
  if (log) fprintf(log, "%s\n", line), fclose(log);
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  (void)reason, (void)reserved;
  self = module;
  return TRUE;
}

long Register(void) { return LogLine("register"), 0; }
// With WRENLY_SELFREG_ENDS set, the process that unregisters ends there, as
// a product's faulty library can make an uninstaller end.
long Unregister(void) {
  const char* ends = getenv("WRENLY_SELFREG_ENDS");
  LogLine("unregister");
  if (ends && *ends) ExitProcess(9);
  return 0;
}
