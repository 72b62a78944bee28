// Started by setup programs in the Wine tests: appends a line "own path|command
// line|current folder" to C:\wt\run.log. With /waitfor:TEXT in its command
// line it first waits (10 s at most) until the log holds TEXT, and with
// /slow it takes a second first: a program waited for writes before the next.
#include <windows.h>
#include <string.h>

static const char kLog[] = "C:\\wt\\run.log";

static int LogHolds(const char* text) {
  char buffer[8192];
  DWORD got = 0;
  HANDLE log = CreateFileA(kLog, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
  if (log == INVALID_HANDLE_VALUE) return 0;
  ReadFile(log, buffer, sizeof buffer - 1, &got, NULL);
  CloseHandle(log);
  buffer[got] = 0;
  return strstr(buffer, text) != NULL;
}

int WINAPI WinMain(HINSTANCE self, HINSTANCE previous, LPSTR args, int show) {
  (void)self, (void)previous, (void)show;
  char line[4096], text[256];
  const char* wait = strstr(args, "/waitfor:");
  if (wait) {
    lstrcpynA(text, wait + 9, sizeof text);
    for (char* p = text; *p; ++p)
      if (*p == ' ') *p = 0;
    for (int i = 0; i < 100 && !LogHolds(text); ++i) Sleep(100);
  }
  if (strstr(args, "/slow")) Sleep(1000);
  DWORD n = GetModuleFileNameA(NULL, line, 1024);
  line[n++] = '|';
  lstrcpynA(line + n, GetCommandLineA(), 2048);
  n += lstrlenA(line + n);
  line[n++] = '|';
  n += GetCurrentDirectoryA(1000, line + n);
  line[n++] = '\r', line[n++] = '\n';
  HANDLE log = CreateFileA(kLog, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS, 0, NULL);
  DWORD put;
  WriteFile(log, line, n, &put, NULL);
  CloseHandle(log);
  return 0;
}
