// Must never be loaded: the Wine tests put it beside setup.exe under the
// name of a system DLL. Once loaded it leaves NAME.loaded beside itself and
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

// Every name the canary.def exports: a program that imports one resolves it
// here, so the loader gets as far as DllMain.
void Unused(void) {}
