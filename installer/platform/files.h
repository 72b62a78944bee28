// File and memory wrappers used everywhere in the Installer. On Windows they
// sit on Win32 handles; the POSIX build exists only for the unit tests.
#pragma once
#include <stdint.h>

// What the ANSI calls take, terminator included.
inline constexpr uint32_t kPathSize = 260;

typedef void* FileHandle;
#define INVALID_FILE ((FileHandle)(intptr_t)-1)

enum FileMode { kFileRead = 0, kFileWrite = 1, kFileReadWrite = 2 };
enum SeekOrigin { kSeekStart = 0, kSeekCurrent = 1, kSeekEnd = 2 };
inline constexpr uint32_t kSeekFailed = 0xFFFFFFFFu;

FileHandle FileOpen(const char* path, int mode);
FileHandle FileCreate(const char* path);
// Creates path only when no file of that name exists, in one step.
FileHandle FileCreateNew(const char* path);
// 0 when exactly n bytes were read; 1 on failure or a short read.
int FileRead(FileHandle file, void* buffer, uint32_t n);
// 0 when exactly n bytes were written; 2 on failure; 3 on a short write.
int FileWrite(FileHandle file, const void* buffer, uint32_t n);
uint32_t FileTell(FileHandle file);
// New position, or kSeekFailed.
uint32_t FileSeek(FileHandle file, int32_t offset, int origin);
// Size by seeking to the end; the position is restored.
uint32_t FileSize(FileHandle file);
void FileClose(FileHandle file);

// 1 on success (the buffer in *out), 0 when memory ran out even after the
// heap was given back to the system once.
int AllocBuffer(uint32_t size, void* out);
int AllocZeroed(uint32_t size, void* out);
// Frees *ref when not null and clears it.
void FreeBuffer(void* ref);
