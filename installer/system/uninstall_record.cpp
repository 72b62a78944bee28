#include "system/uninstall_record.h"

#include <string.h>

#include "base/package_model.h"
#include "base/run_log.h"
#include "base/setup.h"
#include "format/container.h"
#include "format/file_entry.h"
#include "format/product_identity.h"
#include "format/uninstall_log.h"
#include "package/entry_destination.h"
#include "platform/file_system.h"
#include "platform/system.h"
#include "system/shortcuts.h"
#include "text/path_services.h"

using namespace wrenly::format;

namespace {
char Lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c + 32) : c; }

// A StringField of up to three pieces back to back.
int WriteField(FileHandle file, const char* a, uint32_t na, const char* b = "", uint32_t nb = 0) {
  uint32_t n = na + nb;
  uint8_t length[2] = {(uint8_t)n, (uint8_t)(n >> 8)};
  if (n > 0xFFFF || FileWrite(file, length, 2) != 0) return 1;
  if (na && FileWrite(file, a, na) != 0) return 1;
  return nb ? FileWrite(file, b, nb) : 0;
}

int WriteHeader(FileHandle file, uint16_t id, uint16_t flags, uint32_t length) {
  uint8_t h[block_header::kSize];
  StoreU16(h + block_header::kId, id);
  StoreU16(h + block_header::kFlags, flags);
  StoreU32(h + block_header::kLength, length);
  return FileWrite(file, h, sizeof h);
}

uint8_t KindFlags(const FileEntryView& e) {
  uint8_t kind = 0;
  if (e.kind != kDestInstallDir && (e.flags & kFlagShared)) kind |= kRecordShared;
  if (e.flags & kFlagKeepExistingInSpace) kind |= kRecordKeepExisting;
  if (e.kind == kDestFonts) kind |= kRecordFont;
  if (e.flags & kFlagSelfRegister) kind |= kRecordSelfRegister;
  return kind;
}

bool Recorded(const FileEntryView& e) {
  uint16_t status = LoadU16(e.record + file_entry::kStatus);
  return !(e.flags & kFlagNotLogged) && (status == kOutcomeReplaced || status == kOutcomeCreated ||
                                         status == kOutcomeAtRestart || status == kOutcomeKept);
}

// The entry's desktop shortcut into setup.workPath; false when it has none.
bool DesktopShortcutPath(Setup& setup, const FileEntryView& e) {
  const char* name = e.strings[kItemDesktopName];
  char folder[kPathSize];
  return name[0] && DesktopFolder(e.flags, folder) && JoinText(setup.workPath, kWorkPathSize, folder, "\\", name);
}

// Every entry's FileRecords; the number written.
uint32_t WriteFileRecords(Setup& setup, FileHandle file) {
  uint32_t count = 0;
  const uint8_t* at = setup.package.firstEntry;
  FileEntryView e;
  for (uint32_t i = 0; i < setup.package.entryCount && FindFileEntry(setup, at, &e);
       ++i, at = e.record + e.recordSize) {
    ResolveEntryDestination(setup, e);
    if (!setup.workPath[0]) continue;
    if (e.flags & kFlagFolder) count += WriteFileRecord(setup, file, 0) == 0;
    else if (Recorded(e)) count += WriteFileRecord(setup, file, KindFlags(e)) == 0;
    if (DesktopShortcutPath(setup, e)) count += WriteFileRecord(setup, file, 0) == 0;
  }
  return count;
}
}  // namespace

uint32_t BeginRecordBlock(FileHandle file) {
  uint8_t room[record_block::kRecords] = {};
  uint32_t start = FileTell(file);
  return start != kSeekFailed && FileWrite(file, room, sizeof room) == 0 ? start : kSeekFailed;
}

void EndRecordBlock(FileHandle file, uint32_t start, uint16_t id, uint32_t count) {
  uint32_t end = FileSeek(file, 0, kSeekEnd);
  uint8_t counted[4];
  StoreU32(counted, count);
  if (FileSeek(file, (int32_t)start, kSeekStart) == start &&
      WriteHeader(file, id, 0, end - start - block_header::kSize) == 0)
    FileWrite(file, counted, sizeof counted);
  FileSeek(file, 0, kSeekEnd);
}

int WriteStringField(FileHandle file, const char* text) { return WriteField(file, text, (uint16_t)strlen(text)); }

int WriteFileRecord(Setup& setup, FileHandle file, uint8_t kindFlags) {
  const char* path = setup.workPath;
  uint32_t inside = (uint32_t)strlen(setup.installFolder);
  for (uint32_t i = 0; i < inside; ++i)
    if (Lower(path[i]) != Lower(setup.installFolder[i])) inside = 0;
  const char* rest = path + inside;
  uint32_t cut = 0, n = (uint32_t)strlen(rest);
  for (uint32_t i = 0; i < n; ++i)
    if (rest[i] == '\\') cut = i + 1;
  int r;
  if (!inside) r = WriteField(file, rest, cut ? cut - 1 : 0);
  else if (!cut) r = WriteField(file, kRecordOwnFolder, 1);
  else r = WriteField(file, ".\\", 2, rest, cut - 1);
  if (r || WriteField(file, rest + cut, n - cut)) return 1;
  return FileWrite(file, &kindFlags, 1);
}

bool UninstallRecordPath(const Setup& setup, const char* uninstaller, char* out) {
  if (setup.package.identityFlags & kIdentityRecordBeside) return RecordFileBeside(uninstaller, out, kPathSize);
  return JoinText(out, kPathSize, uninstaller, "");
}

FileHandle BeginUninstallRecord(Setup& setup) {
  char path[kPathSize];
  if (!setup.uninstallerPath[0] || !UninstallRecordPath(setup, setup.uninstallerPath, path)) return INVALID_FILE;
  FileHandle file = FileOpen(path, kFileReadWrite);
  if (file == INVALID_FILE) return INVALID_FILE;
  // The uninstaller data, or the record before ours, ends in an end header;
  // anything else is not ours to write over.
  uint8_t tail[block_header::kSize];
  uint32_t size = FileSize(file), at = size - sizeof tail;
  if (size == kSeekFailed || size < sizeof tail || FileSeek(file, (int32_t)at, kSeekStart) != at ||
      FileRead(file, tail, sizeof tail) != 0 || LoadU16(tail + block_header::kId) != kBlockEnd ||
      FileSeek(file, (int32_t)at, kSeekStart) != at) {
    FileClose(file);
    return INVALID_FILE;
  }
  AppendBackslash(setup.installFolder);
  BeginRecordBlock(file);
  uint32_t files = WriteFileRecords(setup, file);
  EndRecordBlock(file, at, kUninstallFiles, files);
  LogNumber(setup, "uninstall record: files", (int)files);
  return file;
}

void EndUninstallRecord(Setup& setup, FileHandle record) {
  const InstallTypeSlot* type = setup.package.currentType;
  if (type && type->sectionsSize) FileWrite(record, type->sections, type->sectionsSize);
  WriteHeader(record, kBlockEnd, kEndFlagRecordComplete, 0);
  FileClose(record);
  LogAction(setup, "uninstall record complete", setup.uninstallerPath);
}
