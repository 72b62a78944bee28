// Started by setup programs in the Wine tests: appends a line "own name|quoted
// or bare (how its path came)|arguments|current folder" to C:\wt\run.log,
// after a second with /slow, so a program waited for writes before the next.
#include <windows.h>

#include <string.h>

int WINAPI WinMain(HINSTANCE self, HINSTANCE previous, LPSTR args, int show) {
  (void)self, (void)previous, (void)show;
  char line[4096], path[MAX_PATH];
  if (strstr(args, "/slow")) Sleep(1000);
  GetModuleFileNameA(NULL, path, MAX_PATH);
  lstrcpynA(line, strrchr(path, '\\') + 1, 256);
  lstrcatA(line, *GetCommandLineA() == '"' ? "|quoted|" : "|bare|");
  lstrcpynA(line + lstrlenA(line), args, 2048);
  lstrcatA(line, "|");
  DWORD n = lstrlenA(line);
  n += GetCurrentDirectoryA(1000, line + n);
  line[n++] = '\r', line[n++] = '\n';
  HANDLE log =
      CreateFileA("C:\\wt\\run.log", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS, 0, NULL);
  WriteFile(log, line, n, &n, NULL);
  CloseHandle(log);
  return 0;
}
