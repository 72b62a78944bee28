// Win32 side of the engine's file, version, font and registry wrappers.
#include "platform/file_system.h"

#include <windows.h>

#include "platform/process.h"
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

int QueryMachineDword(const char* key, const char* value, uint32_t* out, uint32_t view) {
  return QueryRegistryDword(kRootLocalMachine | view, key, value, out);
}

// Created when missing: a fresh system may not have the key yet.
int SetMachineDword(const char* key, const char* value, uint32_t data, uint32_t view) {
  return SetRegistryDword(kRootLocalMachine | view, key, value, data);
}

int SetMachineString(const char* key, const char* value, const char* data) {
  HKEY k;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, key, &k) != ERROR_SUCCESS) return 1;
  LONG r = RegSetValueExA(k, value, 0, REG_SZ, (const BYTE*)data, (DWORD)lstrlenA(data));
  RegCloseKey(k);
  return r == ERROR_SUCCESS ? 0 : 1;
}

int DeleteMachineValue(const char* key, const char* value, uint32_t view) {
  return DeleteRegistryValue(kRootLocalMachine | view, key, value) == kRemoved ? 0 : 1;
}

namespace {
// wsprintf writes at most 1024 bytes.
constexpr int kMaxCommandPath = 600;

bool InSystemFolder(const char* path) {
  char folder[MAX_PATH + 1], head[MAX_PATH + 1];
  UINT n = GetSystemDirectoryA(folder, MAX_PATH);
  if (!n || n >= MAX_PATH || lstrlenA(path) < (int)n || (path[n] != '\\' && path[n] != 0)) return false;
  lstrcpynA(head, path, (int)n + 1);
  return lstrcmpiA(head, folder) == 0;
}
}  // namespace

void BeginNativeFolder(NativeFolder* state, const char* path, bool wide) {
  state->off = false;
  if (!wide || sizeof(void*) == 8 || !InSystemFolder(path)) return;
  // Loaded with redirection off, a library would be the 64-bit one.
  Version();
  // From XP x64 on; a system without it has no redirection to turn off.
  typedef BOOL(WINAPI * Disable)(PVOID*);
  Disable disable = (Disable)KernelFunction("Wow64DisableWow64FsRedirection");
  state->off = disable && disable(&state->saved);
}

void EndNativeFolder(NativeFolder* state) {
  if (!state->off) return;
  typedef BOOL(WINAPI * Revert)(PVOID);
  Revert revert = (Revert)KernelFunction("Wow64RevertWow64FsRedirection");
  if (revert) revert(state->saved);
  state->off = false;
}

void AddFontFile(const char* path) { AddFontResourceA(path); }
void RemoveFontFile(const char* path) { RemoveFontResourceA(path); }
void BroadcastFontChange() { SendMessageA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0); }

void CallComponentServer(const char* path, int registering, bool wide) {
  if (wide && sizeof(void*) == 4) {
    char tool[MAX_PATH + 16], command[MAX_PATH + 16 + kMaxCommandPath + 16];
    UINT n = GetSystemDirectoryA(tool, MAX_PATH);
    if (!n || n >= MAX_PATH || lstrlenA(path) > kMaxCommandPath) return;
    lstrcatA(tool, "\\regsvr32.exe");
    wsprintfA(command, "\"%s\" /s %s\"%s\"", tool, registering ? "" : "/u ", path);
    NativeFolder native;
    BeginNativeFolder(&native, tool, true);
    ProcessHandle process = StartProcess(command);
    EndNativeFolder(&native);
    if (process) {
      WaitForExitCode(process);
      CloseProcess(process);
    }
    return;
  }
  HMODULE module = LoadLibraryA(path);
  if (!module) return;
  typedef HRESULT(STDAPICALLTYPE * Entry)();
  Entry entry = (Entry)(void*)GetProcAddress(module, registering ? "DllRegisterServer" : "DllUnregisterServer");
  if (entry) entry();
  FreeLibrary(module);
}
