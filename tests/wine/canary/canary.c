// Never to be loaded: the Wine tests leave it beside setup.exe under the
// name of a system DLL. Loaded, it leaves NAME.loaded beside itself and
// refuses to stay, so the program goes on as if the library were missing.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char path[MAX_PATH + 8];
  DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return FALSE;
  lstrcpyA(path + n, ".loaded");
  HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  return FALSE;
}

// What canary.def exports, so that a program importing it gets to DllMain.
void Unused(void) {}
