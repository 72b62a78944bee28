// Win32 side of the system lookups.
#include "platform/system.h"

#include <windows.h>

#include <direct.h>
#include <shlobj.h>

#include "platform/files.h"
#include "platform/registry_root_win32.h"
#include "platform/system_library.h"

void GetScreenSize(int* width, int* height) {
  *width = GetSystemMetrics(SM_CXSCREEN);
  *height = GetSystemMetrics(SM_CYSCREEN);
}

int QueryRegistryString(uint32_t root, const char* key, const char* value, char* out, uint32_t size) {
  HKEY k;
  if (RegOpenKeyExA(RootKey(root), key, 0, KEY_READ | ViewOf(root), &k) != ERROR_SUCCESS) return 0;
  DWORD len = size - 1;  // room for the terminator a stored string may lack
  LONG r = RegQueryValueExA(k, value, nullptr, nullptr, (BYTE*)out, &len);
  RegCloseKey(k);
  if (r != ERROR_SUCCESS) {
    out[0] = 0;
    return 0;
  }
  out[len < size ? len : size - 1] = 0;
  return 1;
}

int QueryRegistryDword(uint32_t root, const char* key, const char* value, uint32_t* out) {
  HKEY k;
  if (RegOpenKeyExA(RootKey(root), key, 0, KEY_READ | ViewOf(root), &k) != ERROR_SUCCESS) return 0;
  DWORD data = 0, size = sizeof data;
  LONG r = RegQueryValueExA(k, value, nullptr, nullptr, (BYTE*)&data, &size);
  RegCloseKey(k);
  if (r != ERROR_SUCCESS || size != sizeof data) return 0;
  *out = data;
  return 1;
}

bool RegistryValueExists(uint32_t root, const char* key, const char* value) {
  HKEY k;
  if (RegOpenKeyExA(RootKey(root), key, 0, KEY_QUERY_VALUE | ViewOf(root), &k) != ERROR_SUCCESS) return false;
  LONG r = RegQueryValueExA(k, value, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(k);
  return r == ERROR_SUCCESS;
}

namespace {
int SetRegistryValue(uint32_t root, const char* key, const char* value, DWORD type, const void* data, DWORD size) {
  HKEY k;
  if (RegCreateKeyExA(RootKey(root), key, 0, nullptr, 0, KEY_SET_VALUE | ViewOf(root), nullptr, &k, nullptr) !=
      ERROR_SUCCESS)
    return 1;
  LONG r = RegSetValueExA(k, value, 0, type, (const BYTE*)data, size);
  RegCloseKey(k);
  return r == ERROR_SUCCESS ? 0 : 1;
}
}  // namespace

int SetRegistryString(uint32_t root, const char* key, const char* value, const char* data) {
  return SetRegistryValue(root, key, value, REG_SZ, data, (DWORD)lstrlenA(data) + 1);
}

int SetRegistryDword(uint32_t root, const char* key, const char* value, uint32_t data) {
  DWORD d = data;
  return SetRegistryValue(root, key, value, REG_DWORD, &d, sizeof d);
}

uint32_t ReadIniString(const char* file, const char* section, const char* key, char* out, uint32_t size) {
  return GetPrivateProfileStringA(section, key, "", out, size, file);
}

int GetWindowsFolder(char* out) { return GetWindowsDirectoryA(out, MAX_PATH) != 0; }
int GetSystemFolder(char* out) { return GetSystemDirectoryA(out, MAX_PATH) != 0; }

int GetSpecialFolderPath(char* out, int number) {
  LPITEMIDLIST items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, number, &items)) || !items) return 0;
  BOOL ok = SHGetPathFromIDListA(items, out);
  IMalloc* shellMalloc;
  if (SUCCEEDED(SHGetMalloc(&shellMalloc))) {
    shellMalloc->Free(items);
    shellMalloc->Release();
  }
  return ok ? 1 : 0;
}

void GetLocalDate(int* year, int* month, int* day) {
  SYSTEMTIME t;
  GetLocalTime(&t);
  *year = t.wYear;
  *month = t.wMonth;
  *day = t.wDay;
}

void GetLocalTimeText(char* out) {
  SYSTEMTIME t;
  GetLocalTime(&t);
  wsprintfA(out, "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond,
            t.wMilliseconds);
}

namespace {
bool RunsUnderWow64() {
  // Looked up: Windows before XP SP2 lacks it, and those are 32-bit only.
  typedef BOOL(WINAPI * IsWow64Function)(HANDLE, PBOOL);
  BOOL wow64 = FALSE;
  IsWow64Function isWow64 = (IsWow64Function)KernelFunction("IsWow64Process");
  if (isWow64) isWow64(GetCurrentProcess(), &wow64);
  return wow64 != FALSE;
}
}  // namespace

bool Is64BitWindows() { return sizeof(void*) == 8 || RunsUnderWow64(); }

void DescribeSystem(char* out, uint32_t size) {
  OSVERSIONINFOA v = {};
  v.dwOSVersionInfoSize = sizeof v;
  GetVersionExA(&v);
  bool wow64 = RunsUnderWow64();
  char text[160];
  wsprintfA(text, "Windows %lu.%lu build %lu %s, %s", v.dwMajorVersion, v.dwMinorVersion, v.dwBuildNumber & 0xFFFF,
            v.szCSDVersion, wow64 ? "a 32-bit program on 64-bit Windows" : "the program's own bitness");
  lstrcpynA(out, text, (int)size);
}

uint32_t AnsiToUtf8(const char* text, char* out, uint32_t size) {
  if (!size) return 0;
  // Through UTF-16, as Windows converts; where UTF-8 is unknown (Windows 95)
  // the text stays as it is.
  int wide = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  WCHAR* buffer = nullptr;
  int n = 0;
  if (wide > 0 && AllocBuffer((uint32_t)wide * sizeof(WCHAR), &buffer)) {
    MultiByteToWideChar(CP_ACP, 0, text, -1, buffer, wide);
    n = WideCharToMultiByte(CP_UTF8, 0, buffer, -1, out, (int)size, nullptr, nullptr);
    FreeBuffer(&buffer);
  }
  if (n <= 0) lstrcpynA(out, text, (int)size);
  return (uint32_t)lstrlenA(out);
}

int EnterFolder(const char* path) { return _chdir(path); }

bool IsCurrentFolder(const char* path) {
  char current[MAX_PATH];
  DWORD n = GetCurrentDirectoryA(sizeof current, current);
  return n > 0 && n < sizeof current && lstrcmpA(current, path) == 0;
}
int MakeFolder(const char* path) { return CreateDirectoryA(path, nullptr) ? 0 : 1; }

int FindStoredName(const char* path, char* name) {
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA(path, &found);
  if (h == INVALID_HANDLE_VALUE) return 0;
  FindClose(h);
  lstrcpynA(name, found.cFileName, MAX_PATH);
  return 1;
}

void ShowInformation(const char* text, const char* caption) { MessageBoxA(nullptr, text, caption, MB_ICONINFORMATION); }
