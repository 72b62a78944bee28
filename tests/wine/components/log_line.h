// Appends a line to MODULE.log beside the module.
#include <stdio.h>
#include <windows.h>

static void LogLine(HMODULE module, const char* line) {
  char path[MAX_PATH + 8];
  DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
  FILE* log = n && n < MAX_PATH ? fopen(lstrcatA(path, ".log"), "ab") : NULL;
  if (log) fprintf(log, "%s\n", line), fclose(log);
}
