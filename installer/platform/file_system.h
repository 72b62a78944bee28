// Files by name, version resources, fonts and the registry writes of the
// installation engine. Thin wrappers: the rules that use them stay portable
// and are tested natively against a fake.
#pragma once
#include <stdint.h>

#include "platform/files.h"

enum FileProbeResult { kProbeWritable = 0, kProbeReadOnly = 1, kProbeMissing = 2 };
// Whether path can be written: missing covers every other failure too.
int ProbeFile(const char* path);
bool NamedFileExists(const char* path);
// 0 on success.
int SetReadOnlyAttribute(const char* path, bool readOnly);

enum FileOpResult { kFileOpDone = 0, kFileOpDenied = 1, kFileOpFailed = 2 };
// Denied: the file is locked, in use or protected.
int DeleteNamedFile(const char* path);
// Puts from in the place of to (which may be missing). On any failure the
// old file at `to` is still there, unchanged.
int ReplaceNamedFile(const char* from, const char* to);

// Sets creation, last-access and last-write times from three FILETIMEs.
void SetFileTimes(FileHandle file, const uint8_t* times);

int GetTempFolder(char* out);  // 260 bytes; 1 on success
bool IsNtFamily();

// The folder the system proposes for a shared file (260 bytes; "" when it
// proposes none). *inUseTest is false when the lookup overflowed its buffers.
void FindSharedFileFolder(const char* name, const char* windowsFolder, const char* appFolder, char* out,
                          bool* inUseTest);

struct FileVersionFacts {
  bool hasFixed;  // the fixed file information was found
  uint32_t versionMS;
  uint32_t versionLS;
  bool hasLanguage;   // a translation table was found
  uint32_t language;  // language word of its first entry
};
// 1 when the file carries a version resource (facts filled), 0 otherwise or
// when memory ran out.
int ReadFileVersion(const char* path, FileVersionFacts* facts);

// Restart-time operations of the NT family.
int ScheduleMoveAtRestart(const char* existingPath, const char* newPath);  // newPath null: delete
// 9x family: the short form (260 bytes), and the profile writes.
void GetShortPath(const char* path, char* out);
void WriteProfileEntry(const char* file, const char* section, const char* key, const char* value);
void FlushProfile(const char* file);

// HKEY_LOCAL_MACHINE keys that installation and removal both keep: the use
// counts of shared files (one REG_DWORD per full path) and the fonts' names.
inline constexpr char kSharedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
inline constexpr char kFontsKeyNt[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
inline constexpr char kFontsKey9x[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts";

// HKEY_LOCAL_MACHINE values; view is 0 or kRootWideView. Failures are
// reported but callers ignore them.
int QueryMachineDword(const char* key, const char* value, uint32_t* out, uint32_t view = 0);  // 1 when read
int SetMachineDword(const char* key, const char* value, uint32_t data, uint32_t view = 0);
int SetMachineString(const char* key, const char* value, const char* data);
int DeleteMachineValue(const char* key, const char* value, uint32_t view = 0);

// A 64-bit product's files in the system folder: a 32-bit program on 64-bit
// Windows is shown SysWOW64 there unless it turns the system's redirection
// off. It is off for such a path alone, and only while it is handled: a
// system library loaded meanwhile would be the 64-bit one.
struct NativeFolder {
  void* saved;
  bool off;
};
void BeginNativeFolder(NativeFolder* state, const char* path, bool wide);
void EndNativeFolder(NativeFolder* state);

void AddFontFile(const char* path);
void RemoveFontFile(const char* path);
void BroadcastFontChange();

// Calls the library's DllRegisterServer (registering) or DllUnregisterServer;
// failures ignored. A 64-bit library (wide) cannot be loaded by a 32-bit
// program: the system's 64-bit regsvr32 calls it, and is waited for.
void CallComponentServer(const char* path, int registering, bool wide = false);
