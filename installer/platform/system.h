// The few system lookups the pure logic needs, kept behind plain functions so
// the logic builds and is tested natively against a fake of them.
#pragma once
#include <stdint.h>

// Registry roots as the package numbers them; any other number is the
// current user's hive.
enum RegistryRoot : uint32_t {
  kRootClassesRoot = 0,
  kRootCurrentUser = 1,
  kRootLocalMachine = 2,
  kRootUsers = 3,
};
// Or'd into a root: the 64-bit view, where a 64-bit product's keys belong.
// A 32-bit program on 64-bit Windows is shown the 32-bit view otherwise.
inline constexpr uint32_t kRootWideView = 0x100;
inline constexpr uint32_t kRootNumberMask = 0xFF;

// Whether Windows itself is 64-bit, whatever this program is.
bool Is64BitWindows();

void GetScreenSize(int* width, int* height);
// 1 when the value was read into out (size bytes, NUL-terminated); the value
// type is not looked at. value null or "" reads the key's default value.
int QueryRegistryString(uint32_t root, const char* key, const char* value, char* out, uint32_t size);
// Whether the value exists, whatever its type and size.
bool RegistryValueExists(uint32_t root, const char* key, const char* value);
// Creates the key when missing and sets a REG_SZ value, its terminator
// counted. 0 on success.
int SetRegistryString(uint32_t root, const char* key, const char* value, const char* data);
// 1 when a REG_DWORD-sized value was read.
int QueryRegistryDword(uint32_t root, const char* key, const char* value, uint32_t* out);
// Creates the key when missing and sets a REG_DWORD value. 0 on success.
int SetRegistryDword(uint32_t root, const char* key, const char* value, uint32_t data);
// The profile string, or "" when missing; returns its length.
uint32_t ReadIniString(const char* file, const char* section, const char* key, char* out, uint32_t size);
int GetWindowsFolder(char* out);  // 260 bytes; 1 on success
int GetSystemFolder(char* out);   // 260 bytes; 1 on success
// Shell special folder by its number; 1 on success; out holds 260 bytes.
int GetSpecialFolderPath(char* out, int number);
void GetLocalDate(int* year, int* month, int* day);
// The local time as "YYYY-MM-DD hh:mm:ss.mmm"; out holds kTimeTextSize bytes.
inline constexpr uint32_t kTimeTextSize = 24;
void GetLocalTimeText(char* out);
// Which Windows this is and how the program runs on it, for the log:
// version, build, and whether a 32-bit program runs on 64-bit Windows.
void DescribeSystem(char* out, uint32_t size);
// ANSI text (the system's code page) as UTF-8 into out, terminated; its length.
uint32_t AnsiToUtf8(const char* text, char* out, uint32_t size);
// 0 when the folder could be made the current directory.
int EnterFolder(const char* path);
// Whether the current directory is path, as it was entered.
bool IsCurrentFolder(const char* path);
// 0 when the folder was created.
int MakeFolder(const char* path);
// The name of the last component of path as stored on disk (260 bytes);
// 1 when the entry exists.
int FindStoredName(const char* path, char* name);
// An information message box (no owner window yet at load time).
void ShowInformation(const char* text, const char* caption);
