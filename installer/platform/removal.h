// What the uninstaller removes and how it hands its work to a copy of itself:
// thin wrappers, each one system call or a short loop over one; the rules that
// decide what may be removed stay in uninstaller/.
#pragma once
#include <stdint.h>

enum RemoveResult : uint8_t {
  kRemoved = 0,
  kRemoveMissing,   // nothing of that name: already gone
  kRemoveInUse,     // denied, shared or locked: may go at the next restart
  kRemoveNotEmpty,  // a folder that still holds something
  kRemoveFailed,
};

inline constexpr uint32_t kNoAttributes = 0xFFFFFFFFu;
inline constexpr uint32_t kAttributeFolder = 0x10;
inline constexpr uint32_t kAttributeReparsePoint = 0x400;

// GetFileAttributesA, kNoAttributes when nothing answers to path.
uint32_t PathAttributes(const char* path);
// Clears the read-only attribute, then deletes the file.
int RemoveFile(const char* path);
int RemoveEmptyFolder(const char* path);

// Volume serial number and file index: two names of one folder (an 8.3 alias,
// a link) give the same identity. 1 when the folder could be opened.
struct FolderIdentity {
  uint32_t volume, indexHigh, indexLow;
};
int GetFolderIdentity(const char* path, FolderIdentity* out);

// root is a RegistryRoot. The key goes with every subkey below it.
int DeleteRegistryTree(uint32_t root, const char* key);
int DeleteRegistryValue(uint32_t root, const char* key, const char* value);
// The key only when it holds no value and no subkey (kRemoveNotEmpty else).
int DeleteEmptyRegistryKey(uint32_t root, const char* key);
// Deletes every value of the HKEY_LOCAL_MACHINE key whose string data equals
// one of the two texts, compared without regard to case.
void DeleteMachineValuesWithData(const char* key, const char* data1, const char* data2);
// The key's line goes from the INI file, and the change is written out.
void DeleteIniValue(const char* file, const char* section, const char* key);

// From the system's random source; 1 when it answered.
int RandomBytes(void* out, uint32_t n);
// Copies a file to a name that must not exist yet; 1 on success.
int CopyToNewFile(const char* from, const char* to);
// The running program's full path (260 bytes), in its long form when the
// system can give it; 1 on success.
int GetOwnPath(char* out);

// A pipe whose write end a started program inherits; 1 on success.
int CreateResultPipe(void** readEnd, void** writeEnd);
// This process, as a handle a started program inherits; null on failure.
void* InheritableOwnProcess();
// Waits for a process handle to be signalled (the process has ended).
void WaitForProcess(void* process);
void CloseSystemHandle(void* handle);

// A named mutex; null when another process already holds one of that name.
void* TakeNamedMutex(const char* name);
