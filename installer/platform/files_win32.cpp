// File wrappers over Win32 handles.
#include "platform/files.h"

#include <windows.h>

FileHandle FileOpen(const char* path, int mode) {
  DWORD access = GENERIC_READ, share = FILE_SHARE_READ;
  if (mode == kFileWrite) {
    access = GENERIC_WRITE;
    share = 0;
  } else if (mode == kFileReadWrite) {
    access = GENERIC_READ | GENERIC_WRITE;
  }
  return CreateFileA(path, access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

FileHandle FileCreate(const char* path) {
  return CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

FileHandle FileCreateNew(const char* path) {
  return CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int FileRead(FileHandle file, void* buffer, uint32_t n) {
  DWORD got = 0;
  if (!ReadFile(file, buffer, n, &got, nullptr) || got != n) return 1;
  return 0;
}

int FileWrite(FileHandle file, const void* buffer, uint32_t n) {
  DWORD put = 0;
  if (!WriteFile(file, buffer, n, &put, nullptr)) return 2;
  return put == n ? 0 : 3;
}

uint32_t FileTell(FileHandle file) { return SetFilePointer(file, 0, nullptr, FILE_CURRENT); }

uint32_t FileSeek(FileHandle file, int32_t offset, int origin) {
  return SetFilePointer(file, offset, nullptr, (DWORD)origin);
}

uint32_t FileSize(FileHandle file) {
  DWORD here = SetFilePointer(file, 0, nullptr, FILE_CURRENT);
  DWORD size = SetFilePointer(file, 0, nullptr, FILE_END);
  SetFilePointer(file, (LONG)here, nullptr, FILE_BEGIN);
  return size;
}

void FileClose(FileHandle file) { CloseHandle(file); }
