// File wrappers over POSIX descriptors, so the package reader can be tested
// natively. The descriptor travels inside the handle value.
#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
int Fd(FileHandle file) { return (int)(intptr_t)file; }
FileHandle Handle(int fd) { return fd < 0 ? INVALID_FILE : (FileHandle)(intptr_t)fd; }
}  // namespace

FileHandle FileOpen(const char* path, int mode) {
  int flags = mode == kFileWrite ? O_WRONLY : mode == kFileReadWrite ? O_RDWR : O_RDONLY;
  return Handle(open(path, flags));
}

FileHandle FileCreate(const char* path) { return Handle(open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644)); }
FileHandle FileCreateNew(const char* path) { return Handle(open(path, O_WRONLY | O_CREAT | O_EXCL, 0644)); }

int FileRead(FileHandle file, void* buffer, uint32_t n) {
  uint8_t* p = (uint8_t*)buffer;
  while (n > 0) {
    ssize_t got = read(Fd(file), p, n);
    if (got <= 0) return 1;
    p += got;
    n -= (uint32_t)got;
  }
  return 0;
}

int FileWrite(FileHandle file, const void* buffer, uint32_t n) {
  ssize_t put = write(Fd(file), buffer, n);
  if (put < 0) return 2;
  return (uint32_t)put == n ? 0 : 3;
}

uint32_t FileTell(FileHandle file) { return FileSeek(file, 0, kSeekCurrent); }

uint32_t FileSeek(FileHandle file, int32_t offset, int origin) {
  int whence = origin == kSeekCurrent ? SEEK_CUR : origin == kSeekEnd ? SEEK_END : SEEK_SET;
  off_t to = origin == kSeekStart ? (off_t)(uint32_t)offset : (off_t)offset;
  off_t at = lseek(Fd(file), to, whence);
  return at < 0 ? kSeekFailed : (uint32_t)at;
}

uint32_t FileSize(FileHandle file) {
  struct stat st;
  if (fstat(Fd(file), &st) != 0) return kSeekFailed;
  return (uint32_t)st.st_size;
}

void FileClose(FileHandle file) { close(Fd(file)); }
