// Win32 side of the engine's file, version, font and registry wrappers.
#include "platform/file_system.h"

#include <windows.h>

#include "platform/removal.h"
#include "platform/system.h"
#include "platform/system_library.h"

namespace {
// version.dll on first use, from the system folder: imported, it would be
// looked for beside setup.exe first. Without it no file has a version.
struct VersionFunctions {
  decltype(&GetFileVersionInfoSizeA) size;
  decltype(&GetFileVersionInfoA) read;
  decltype(&VerQueryValueA) query;
  decltype(&VerFindFileA) findFile;
};
VersionFunctions version;
bool versionLoaded;

const VersionFunctions& Version() {
  if (!versionLoaded) {
    versionLoaded = true;
    HMODULE dll = LoadSystemLibrary("version.dll");
    version.size = (decltype(version.size))SystemFunction(dll, "GetFileVersionInfoSizeA");
    version.read = (decltype(version.read))SystemFunction(dll, "GetFileVersionInfoA");
    version.query = (decltype(version.query))SystemFunction(dll, "VerQueryValueA");
    version.findFile = (decltype(version.findFile))SystemFunction(dll, "VerFindFileA");
  }
  return version;
}

bool Denied(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}
int Outcome(BOOL ok) { return ok ? kFileOpDone : Denied(GetLastError()) ? kFileOpDenied : kFileOpFailed; }
}  // namespace

int ProbeFile(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return kProbeMissing;
  return (attributes & FILE_ATTRIBUTE_READONLY) ? kProbeReadOnly : kProbeWritable;
}

bool NamedFileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

int SetReadOnlyAttribute(const char* path, bool readOnly) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return 1;
  attributes = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~FILE_ATTRIBUTE_READONLY);
  if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
  return SetFileAttributesA(path, attributes) ? 0 : 1;
}

int DeleteNamedFile(const char* path) { return Outcome(DeleteFileA(path)); }

int ReplaceNamedFile(const char* from, const char* to) {
  if (IsNtFamily()) return Outcome(MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING));
  // The 9x family has no replacing move: set the old file aside, and put it
  // back when the new one cannot take its place.
  if (GetFileAttributesA(to) == INVALID_FILE_ATTRIBUTES) return Outcome(MoveFileA(from, to));
  char aside[MAX_PATH + 8];
  int n = lstrlenA(to);
  if (n >= MAX_PATH) return kFileOpFailed;
  lstrcpyA(aside, to);
  lstrcpyA(aside + n, ".$$0");
  if (GetFileAttributesA(aside) != INVALID_FILE_ATTRIBUTES) return kFileOpFailed;
  int moved = Outcome(MoveFileA(to, aside));
  if (moved != kFileOpDone) return moved;
  if (!MoveFileA(from, to)) {
    int failed = Denied(GetLastError()) ? kFileOpDenied : kFileOpFailed;
    MoveFileA(aside, to);
    return failed;
  }
  DeleteFileA(aside);
  return kFileOpDone;
}

void SetFileTimes(FileHandle file, const uint8_t* times) {
  FILETIME t[3];
  CopyMemory(t, times, sizeof t);
  SetFileTime(file, &t[0], &t[1], &t[2]);
}

int GetTempFolder(char* out) { return GetTempPathA(MAX_PATH, out) != 0; }
bool IsNtFamily() {
  static int nt = -1;
  if (nt < 0) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    nt = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
  }
  return nt;
}

void FindSharedFileFolder(const char* name, const char* windowsFolder, const char* appFolder, char* out,
                          bool* inUseTest) {
  char current[MAX_PATH];
  UINT currentLength = MAX_PATH, outLength = MAX_PATH;
  current[0] = 0;
  out[0] = 0;
  auto findFile = Version().findFile;
  DWORD result = findFile ? findFile(VFFF_ISSHAREDFILE, (LPSTR)name, (LPSTR)windowsFolder, (LPSTR)appFolder, current,
                                     &currentLength, out, &outLength)
                          : 0;
  *inUseTest = (result & VFF_BUFFTOOSMALL) == 0;
  if (!*inUseTest) out[0] = 0;
  out[MAX_PATH - 1] = 0;
}

int ReadFileVersion(const char* path, FileVersionFacts* facts) {
  ZeroMemory(facts, sizeof *facts);
  const VersionFunctions& v = Version();
  if (!v.size || !v.read || !v.query) return 0;
  DWORD handle = 0;
  DWORD size = v.size(path, &handle);
  if (size == 0) return 0;
  void* info = nullptr;
  if (!AllocBuffer(size, &info)) return 0;
  int found = 0;
  if (v.read(path, 0, size, info)) {
    found = 1;
    VS_FIXEDFILEINFO* fixed;
    UINT length;
    if (v.query(info, "\\", (void**)&fixed, &length) && length >= sizeof *fixed) {
      facts->hasFixed = true;
      facts->versionMS = fixed->dwFileVersionMS;
      facts->versionLS = fixed->dwFileVersionLS;
    }
    WORD* translation;
    if (v.query(info, "\\VarFileInfo\\Translation", (void**)&translation, &length) && length >= 4) {
      facts->hasLanguage = true;
      facts->language = translation[0];
    }
  }
  FreeBuffer(&info);
  return found;
}

int ScheduleMoveAtRestart(const char* existingPath, const char* newPath) {
  DWORD flags = MOVEFILE_DELAY_UNTIL_REBOOT | (newPath ? MOVEFILE_REPLACE_EXISTING : 0);
  return MoveFileExA(existingPath, newPath, flags) ? 0 : 1;
}

void GetShortPath(const char* path, char* out) {
  DWORD n = GetShortPathNameA(path, out, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) lstrcpynA(out, path, MAX_PATH);
}

void WriteProfileEntry(const char* file, const char* section, const char* key, const char* value) {
  WritePrivateProfileStringA(section, key, value, file);
}
void FlushProfile(const char* file) { WritePrivateProfileStringA(nullptr, nullptr, nullptr, file); }

int QueryMachineDword(const char* key, const char* value, uint32_t* out) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return 0;
  DWORD data = 0, size = sizeof data, type = REG_DWORD;
  LONG r = RegQueryValueExA(k, value, nullptr, &type, (BYTE*)&data, &size);
  RegCloseKey(k);
  if (r != ERROR_SUCCESS || size != sizeof data) return 0;
  *out = data;
  return 1;
}

int SetMachineDword(const char* key, const char* value, uint32_t data) {
  HKEY k;
  // Created when missing: a fresh system may not have the key yet.
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) != ERROR_SUCCESS)
    return 1;
  DWORD d = data;
  LONG r = RegSetValueExA(k, value, 0, REG_DWORD, (const BYTE*)&d, sizeof d);
  RegCloseKey(k);
  return r == ERROR_SUCCESS ? 0 : 1;
}

int SetMachineString(const char* key, const char* value, const char* data) {
  HKEY k;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, key, &k) != ERROR_SUCCESS) return 1;
  LONG r = RegSetValueExA(k, value, 0, REG_SZ, (const BYTE*)data, (DWORD)lstrlenA(data));
  RegCloseKey(k);
  return r == ERROR_SUCCESS ? 0 : 1;
}

int DeleteMachineValue(const char* key, const char* value) {
  return DeleteRegistryValue(kRootLocalMachine, key, value) == kRemoved ? 0 : 1;
}

void AddFontFile(const char* path) { AddFontResourceA(path); }
void RemoveFontFile(const char* path) { RemoveFontResourceA(path); }
void BroadcastFontChange() { SendMessageA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0); }

void CallComponentServer(const char* path, int registering) {
  HMODULE module = LoadLibraryA(path);
  if (!module) return;
  typedef HRESULT(STDAPICALLTYPE * Entry)();
  Entry entry = (Entry)(void*)GetProcAddress(module, registering ? "DllRegisterServer" : "DllUnregisterServer");
  if (entry) entry();
  FreeLibrary(module);
}
