// Win32 side of the uninstaller's removals and of its hand-over to a copy.
#include "platform/removal.h"

#include <windows.h>

#include "platform/registry_root_win32.h"
#include "platform/system.h"
#include "platform/system_library.h"

namespace {

int Outcome(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS: return kRemoved;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return kRemoveMissing;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return kRemoveInUse;
    case ERROR_DIR_NOT_EMPTY: return kRemoveNotEmpty;
    default: return kRemoveFailed;
  }
}
int Outcome(BOOL ok) { return ok ? kRemoved : Outcome(GetLastError()); }

// RegDeleteKeyA always works in the program's own view; the other view's
// keys need RegDeleteKeyExA, which every 64-bit Windows has.
LONG DeleteKey(HKEY parent, const char* key, REGSAM view) {
  if (!view) return RegDeleteKeyA(parent, key);
  typedef LONG(WINAPI * DeleteInView)(HKEY, LPCSTR, REGSAM, DWORD);
  DeleteInView remove = (DeleteInView)SystemFunction(GetModuleHandleA("advapi32.dll"), "RegDeleteKeyExA");
  return remove ? remove(parent, key, view, 0) : ERROR_CALL_NOT_IMPLEMENTED;
}

// Own recursion: RegDeleteTree and SHDeleteKey are missing on early systems
// or live outside advapi32.
LONG DeleteTree(HKEY parent, const char* key, REGSAM view) {
  HKEY k;
  LONG r = RegOpenKeyExA(parent, key, 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | DELETE | view, &k);
  if (r != ERROR_SUCCESS) return r;
  char name[256];
  DWORD index = 0;
  for (;;) {
    DWORD n = sizeof name;
    if (RegEnumKeyExA(k, index, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (DeleteTree(k, name, view) != ERROR_SUCCESS) ++index;  // left in place: step over it
  }
  RegCloseKey(k);
  return DeleteKey(parent, key, view);
}
}  // namespace

uint32_t PathAttributes(const char* path) { return GetFileAttributesA(path); }

int RemoveFile(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
  return Outcome(DeleteFileA(path));
}

int RemoveEmptyFolder(const char* path) {
  if (RemoveDirectoryA(path)) return kRemoved;
  DWORD error = GetLastError();
  // The 9x family answers a folder that is not empty with "access denied".
  if (error == ERROR_ACCESS_DENIED && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
    WIN32_FIND_DATAA found;
    char pattern[MAX_PATH + 4];
    if (lstrlenA(path) + 3 < MAX_PATH + 4) {
      lstrcpyA(pattern, path);
      lstrcatA(pattern, "\\*");
      HANDLE h = FindFirstFileA(pattern, &found);
      bool holds = false;
      if (h != INVALID_HANDLE_VALUE) {
        do holds = lstrcmpA(found.cFileName, ".") && lstrcmpA(found.cFileName, "..");
        while (!holds && FindNextFileA(h, &found));
        FindClose(h);
      }
      if (holds) return kRemoveNotEmpty;
    }
  }
  return Outcome(error);
}

int GetFolderIdentity(const char* path, FolderIdentity* out) {
  HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION info;
  BOOL ok = GetFileInformationByHandle(h, &info);
  CloseHandle(h);
  if (!ok) return 0;
  out->volume = info.dwVolumeSerialNumber;
  out->indexHigh = info.nFileIndexHigh;
  out->indexLow = info.nFileIndexLow;
  return 1;
}

int DeleteRegistryTree(uint32_t root, const char* key) {
  return Outcome((DWORD)DeleteTree(RootKey(root), key, ViewOf(root)));
}

int DeleteRegistryValue(uint32_t root, const char* key, const char* value) {
  HKEY k;
  LONG r = RegOpenKeyExA(RootKey(root), key, 0, KEY_SET_VALUE | ViewOf(root), &k);
  if (r == ERROR_SUCCESS) {
    r = RegDeleteValueA(k, value);
    RegCloseKey(k);
  }
  return Outcome((DWORD)r);
}

int DeleteEmptyRegistryKey(uint32_t root, const char* key) {
  HKEY k;
  LONG r = RegOpenKeyExA(RootKey(root), key, 0, KEY_READ | ViewOf(root), &k);
  if (r != ERROR_SUCCESS) return Outcome((DWORD)r);
  char name[2];
  DWORD n = sizeof name, m = sizeof name;
  // Anything but "no more items" at the first index, a name too long for
  // the buffer among them, means the key holds something.
  bool empty = RegEnumKeyExA(k, 0, name, &n, nullptr, nullptr, nullptr, nullptr) == ERROR_NO_MORE_ITEMS &&
               RegEnumValueA(k, 0, name, &m, nullptr, nullptr, nullptr, nullptr) == ERROR_NO_MORE_ITEMS;
  RegCloseKey(k);
  // Checked first: on the 9x family RegDeleteKey takes the subkeys with it.
  if (!empty) return kRemoveNotEmpty;
  return Outcome((DWORD)DeleteKey(RootKey(root), key, ViewOf(root)));
}

void DeleteMachineValuesWithData(const char* key, const char* data1, const char* data2) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &k) != ERROR_SUCCESS) return;
  char name[256], data[MAX_PATH + 1];
  for (DWORD index = 0;;) {
    DWORD n = sizeof name, size = MAX_PATH, type = 0;
    LONG r = RegEnumValueA(k, index, name, &n, nullptr, &type, (BYTE*)data, &size);
    if (r == ERROR_NO_MORE_ITEMS) break;
    data[r == ERROR_SUCCESS && size <= MAX_PATH ? size : 0] = 0;
    bool match = r == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) &&
                 (!lstrcmpiA(data, data1) || !lstrcmpiA(data, data2));
    if (!match || RegDeleteValueA(k, name) != ERROR_SUCCESS) ++index;
  }
  RegCloseKey(k);
}

void DeleteIniValue(const char* file, const char* section, const char* key) {
  WritePrivateProfileStringA(section, key, nullptr, file);
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);
}

// RtlGenRandom from Windows XP on; before it, the cryptographic provider.
int RandomBytes(void* out, uint32_t n) {
  HMODULE advapi = LoadSystemLibrary("advapi32.dll");
  typedef BOOLEAN(WINAPI * Generate)(PVOID, ULONG);
  auto generate = (Generate)SystemFunction(advapi, "SystemFunction036");
  if (generate) return generate(out, n) != 0;
  typedef BOOL(WINAPI * Acquire)(HCRYPTPROV*, LPCSTR, LPCSTR, DWORD, DWORD);
  typedef BOOL(WINAPI * Fill)(HCRYPTPROV, DWORD, BYTE*);
  typedef BOOL(WINAPI * Release)(HCRYPTPROV, DWORD);
  auto acquire = (Acquire)SystemFunction(advapi, "CryptAcquireContextA");
  auto fill = (Fill)SystemFunction(advapi, "CryptGenRandom");
  auto release = (Release)SystemFunction(advapi, "CryptReleaseContext");
  HCRYPTPROV provider;
  if (!acquire || !fill || !release || !acquire(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
    return 0;
  BOOL ok = fill(provider, n, (BYTE*)out);
  release(provider, 0);
  return ok != 0;
}

int CopyToNewFile(const char* from, const char* to) { return CopyFileA(from, to, TRUE) != 0; }

int GetOwnPath(char* out) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 0;
  typedef DWORD(WINAPI * LongPath)(LPCSTR, LPSTR, DWORD);
  auto longPath = (LongPath)KernelFunction("GetLongPathNameA");
  DWORD m = longPath ? longPath(path, out, MAX_PATH) : 0;
  if (m == 0 || m >= MAX_PATH) lstrcpyA(out, path);
  return 1;
}

namespace {
HANDLE Inheritable(HANDLE h, DWORD access, DWORD options) {
  HANDLE self = GetCurrentProcess(), copy = nullptr;
  return DuplicateHandle(self, h, self, &copy, access, TRUE, options) ? copy : nullptr;
}
}  // namespace

int CreateResultPipe(void** readEnd, void** writeEnd) {
  HANDLE r, w;
  if (!CreatePipe(&r, &w, nullptr, 0)) return 0;
  *readEnd = r;
  *writeEnd = Inheritable(w, 0, DUPLICATE_SAME_ACCESS | DUPLICATE_CLOSE_SOURCE);
  if (*writeEnd) return 1;
  CloseHandle(r);
  return 0;
}

void* InheritableOwnProcess() { return Inheritable(GetCurrentProcess(), SYNCHRONIZE, 0); }
void WaitForProcess(void* process) { WaitForSingleObject(process, INFINITE); }
void CloseSystemHandle(void* handle) { CloseHandle(handle); }

void* TakeNamedMutex(const char* name) {
  HANDLE h = CreateMutexA(nullptr, TRUE, name);
  if (h && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(h);
    return nullptr;
  }
  return h;
}
