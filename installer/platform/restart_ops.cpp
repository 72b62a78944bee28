#include "platform/restart_ops.h"

#include "platform/file_system.h"
#include "platform/system.h"

namespace {
const char kSection[] = "Rename";
const char kPlaceholder[] = "xyz";

bool SameLetter(char a, char b) {
  if (a >= 'A' && a <= 'Z') a = (char)(a + 32);
  if (b >= 'A' && b <= 'Z') b = (char)(b + 32);
  return a == b;
}

// The deletion's own text, read whole and written back in place.
void RewriteDeletionEntry(const char* iniPath, const char* path) {
  FileHandle file = FileOpen(iniPath, kFileReadWrite);
  if (file == INVALID_FILE) return;
  uint32_t size = FileSize(file);
  char* text = nullptr;
  if (size != kSeekFailed && size > 0 && AllocBuffer(size, &text)) {
    if (FileRead(file, text, size) == 0 && MarkDeletionLine(text, size, path) && FileSeek(file, 0, kSeekStart) == 0)
      FileWrite(file, text, size);
    FreeBuffer(&text);
  }
  FileClose(file);
}
}  // namespace

int MarkDeletionLine(char* text, uint32_t length, const char* path) {
  uint32_t pathLength = 0;
  while (path[pathLength]) ++pathLength;
  const uint32_t keyLength = sizeof kPlaceholder - 1;
  for (uint32_t at = 0; at < length; ++at) {
    if (at > 0 && text[at - 1] != '\n') continue;
    if (length - at < keyLength + 1 + pathLength) break;
    bool match = true;
    for (uint32_t i = 0; i < keyLength && match; ++i) match = SameLetter(text[at + i], kPlaceholder[i]);
    if (!match || text[at + keyLength] != '=') continue;
    const char* value = text + at + keyLength + 1;
    for (uint32_t i = 0; i < pathLength && match; ++i) match = SameLetter(value[i], path[i]);
    uint32_t end = at + keyLength + 1 + pathLength;
    if (!match || (end < length && text[end] != '\r' && text[end] != '\n')) continue;
    text[at] = 'N';
    text[at + 1] = 'U';
    text[at + 2] = 'L';
    return 1;
  }
  return 0;
}

void RecordRestartRename(const char* iniPath, const char* newPath, const char* existingPath) {
  char shortExisting[kPathSize];
  GetShortPath(existingPath, shortExisting);
  if (newPath) {
    char shortNew[kPathSize];
    GetShortPath(newPath, shortNew);
    WriteProfileEntry(iniPath, kSection, shortNew, shortExisting);
    FlushProfile(iniPath);
    return;
  }
  WriteProfileEntry(iniPath, kSection, kPlaceholder, shortExisting);
  FlushProfile(iniPath);
  RewriteDeletionEntry(iniPath, shortExisting);
}

int MoveFileAtRestart(const char* newPath, const char* existingPath) {
  if (IsNtFamily()) return ScheduleMoveAtRestart(existingPath, newPath);
  char ini[kPathSize + 16];
  if (!GetWindowsFolder(ini)) return 1;
  uint32_t n = 0;
  while (ini[n]) ++n;
  if (n > 0 && ini[n - 1] == '\\') --n;
  const char kName[] = "\\WININIT.INI";
  for (uint32_t i = 0; i < sizeof kName; ++i) ini[n + i] = kName[i];
  RecordRestartRename(ini, newPath, existingPath);
  return 0;
}
