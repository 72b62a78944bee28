#include "install/fonts.h"

#include "base/setup.h"
#include "format/names.h"
#include "platform/file_system.h"
#include "platform/system.h"

namespace {
const char kSuffix[] = " (TrueType)";
const uint16_t kPlatformMacintosh = 1, kFullName = 4;

uint16_t Big16(const uint8_t* p) { return (uint16_t)((p[0] << 8) | p[1]); }
uint32_t Big32(const uint8_t* p) {
  return ((uint32_t)p[0] << 24) | ((uint32_t)p[1] << 16) | ((uint32_t)p[2] << 8) | p[3];
}

bool ReadAt(FileHandle file, uint32_t offset, void* buffer, uint32_t n) {
  return FileSeek(file, (int32_t)offset, kSeekStart) == offset && FileRead(file, buffer, n) == 0;
}

// Offset of the name table, or 0.
uint32_t FindNameTable(FileHandle file) {
  uint8_t header[12];
  if (!ReadAt(file, 0, header, sizeof header)) return 0;
  uint32_t tables = Big16(header + 4);
  if (tables > kFontTableLimit) tables = kFontTableLimit;
  for (uint32_t i = 0; i < tables; ++i) {
    uint8_t record[16];
    if (FileRead(file, record, sizeof record) != 0) return 0;
    if (record[0] == 'n' && record[1] == 'a' && record[2] == 'm' && record[3] == 'e') return Big32(record + 8);
  }
  return 0;
}

// The name with the suffix, or "" when the font has no full name.
bool RegistryName(const char* path, char* out) {
  ReadFontName(path, out);
  if (!out[0]) return false;
  uint32_t n = 0;
  while (out[n]) ++n;
  if (n > kFontNameSize - sizeof kSuffix) n = kFontNameSize - sizeof kSuffix;
  for (uint32_t i = 0; i < sizeof kSuffix; ++i) out[n + i] = kSuffix[i];
  return true;
}

const char* FontsKey() { return IsNtFamily() ? kFontsKeyNt : kFontsKey9x; }

const char* FileNamePart(const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\') name = p + 1;
  return name;
}

// The Fonts key when the font has a full name (in name, with the suffix)
// that no other font file is registered under, else null: overwriting or
// deleting that value would take the other font from the system.
const char* OwnFontValue(const char* path, char* name) {
  char data[kFontNameSize];
  if (!RegistryName(path, name)) return nullptr;
  if (!QueryRegistryString(kRootLocalMachine, FontsKey(), name, data, sizeof data)) return FontsKey();
  const char *a = FileNamePart(data), *b = FileNamePart(path);
  while (*a && wrenly::format::AsciiLower(*a) == wrenly::format::AsciiLower(*b)) ++a, ++b;
  return *a || *b ? nullptr : FontsKey();
}
}  // namespace

void ReadFontName(const char* path, char* name) {
  name[0] = 0;
  FileHandle file = FileOpen(path, kFileRead);
  if (file == INVALID_FILE) return;
  uint32_t table = FindNameTable(file);
  uint8_t header[6];
  if (table && ReadAt(file, table, header, sizeof header)) {
    uint32_t count = Big16(header + 2);
    uint32_t storage = table + Big16(header + 4);
    for (uint32_t i = 0; i < count; ++i) {
      uint8_t record[12];
      if (!ReadAt(file, table + 6 + 12 * i, record, sizeof record)) break;
      if (Big16(record) != kPlatformMacintosh || Big16(record + 6) != kFullName) continue;
      // A longer name than the buffer is cut, not read past it.
      uint32_t length = Big16(record + 8);
      if (length > kFontNameSize - 1) length = kFontNameSize - 1;
      if (ReadAt(file, storage + Big16(record + 10), name, length)) name[length] = 0;
      else name[0] = 0;
    }
  }
  FileClose(file);
}

void InstallFont(const char* path) {
  char name[kFontNameSize];
  const char* key = OwnFontValue(path, name);
  AddFontFile(path);
  if (key) SetMachineString(key, name, FileNamePart(path));
  BroadcastFontChange();
}

void RemoveFont(const char* path) {
  char name[kFontNameSize];
  const char* key = OwnFontValue(path, name);
  RemoveFontFile(path);
  if (key) DeleteMachineValue(key, name);
  BroadcastFontChange();
}
