// Registers itself as a COM server would; selfreg.def exports these two
// under the entry points' names.
#include <stdio.h>
#include <windows.h>

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
long Unregister(void) { return LogLine("unregister"), 0; }
