// FileEntry records of a file table (block 5178): a u32 count, then variable
// length records, each starting with its own size.
#pragma once
#include <stdint.h>

#include "bytes.h"

namespace wrenly::format {

namespace file_table {
inline constexpr uint32_t kCount = 0;  // u32
inline constexpr uint32_t kEntries = 4;
}  // namespace file_table

namespace file_entry {
inline constexpr uint32_t kRecordSize = 0;     // u32
inline constexpr uint32_t kStatus = 4;         // u16 EntryStatus: package options, then the outcome
inline constexpr uint32_t kIconIndex = 6;      // u16, Start-menu shortcut icon index
inline constexpr uint32_t kFlags = 8;          // u32 EntryFlag
inline constexpr uint32_t kDestKind = 12;      // u32 DestKind
inline constexpr uint32_t kChecksum = 16;      // u32 FileChecksum of the content
inline constexpr uint32_t kSize = 20;          // u32 uncompressed size
inline constexpr uint32_t kDataOffset = 24;    // u32 offset in the DataArea across volumes
inline constexpr uint32_t kStoredLength = 28;  // u32: method byte + stream
inline constexpr uint32_t kFixedSize = 32;
static_assert(kStoredLength + 4 == kFixedSize);

// Version block, present when flags & (kFlagVersionCheck | kFlagLanguageCheck).
namespace version {
inline constexpr uint32_t kVersionMS = 0;  // u32
inline constexpr uint32_t kVersionLS = 4;  // u32
inline constexpr uint32_t kUnused = 8;     // 8 bytes, not read
inline constexpr uint32_t kLanguage = 16;  // u32
inline constexpr uint32_t kSize = 20;
static_assert(kLanguage + 4 == kSize);
}  // namespace version

// Times block, present when flags & kFlagTimes: three FILETIMEs.
namespace times {
inline constexpr uint32_t kCreation = 0;
inline constexpr uint32_t kLastAccess = 8;
inline constexpr uint32_t kLastWrite = 16;
inline constexpr uint32_t kSize = 24;
static_assert(kLastWrite + 8 == kSize);
}  // namespace times

inline constexpr uint32_t kStringCount = 10;
}  // namespace file_entry

// String items of a FileEntry.
enum EntryItem : uint32_t {
  kItemName = 0,
  kItemMenuGroups = 1,
  kItemMenuName = 2,
  kItemMenuArgs = 3,
  kItemMenuIcon = 4,
  kItemDesktopName = 5,
  kItemDesktopArgs = 6,
  kItemDesktopIcon = 7,
  kItemRunArgs = 8,
  kItemFolder = 9,  // destination folder of kind 8
};

// EntryStatus in the package.
enum EntryOption : uint16_t {
  kOptUninstaller = 0x0002,
  kOptReadOnly = 0x0004,
};

// EntryStatus at run time: the outcome.
enum EntryOutcome : uint16_t {
  kOutcomeNone = 0,
  kOutcomeReplaced = 23,
  kOutcomeCreated = 25,
  kOutcomeAtRestart = 500,
  kOutcomeKept = 501,
};

enum EntryFlag : uint32_t {
  kFlagKeepExistingInSpace = 0x00000001,
  kFlagVersionCheck = 0x00000002,
  kFlagLanguageCheck = 0x00000004,
  kFlagTimes = 0x00000008,
  kFlagOnlyIfMissing = 0x00000040,
  kFlagNotLogged = 0x00000080,
  kFlagSourceFolder = 0x00000100,
  kFlagFolder = 0x00000200,
  kFlagShared = 0x00000400,
  kFlagScreenSaver = 0x00000800,
  kFlagSelfRegister = 0x00001000,
  kFlagAllUsersDesktop = 0x00800000,
  kFlagRunKindMask = 0x07000000,
  kFlagRunDocument = 0x08000000,
  kFlagRunWait = 0x10000000,
  kFlagRunAfterRestart = 0x80000000,
};
inline constexpr uint32_t kRunKindShift = 24;
// The run kind: the moment a marked entry starts.
enum RunKind : uint32_t {
  kRunAfterInstall = 1,
  kRunAtFinishPage = 2,
  kRunAfterWizard = 3,
  kRunOnRequest = 4,
};

enum DestKind : uint32_t {
  kDestInstallDir = 0,  // item 0 whole, may hold subfolders
  kDestWindows = 1,
  kDestShared = 2,  // VerFindFileA's proposal, else the system folder
  kDestFonts = 3,
  kDestInstallDirFlat = 4,
  kDestDesktop = 5,
  kDestInstallDirFlat6 = 6,
  kDestTemp = 7,
  kDestCustom = 8,       // folder from item 9
  kDestMyDocuments = 9,  // item 0 whole
  kDestAppData = 10,     // item 0 whole
};
inline constexpr uint32_t kDestKindCount = 11;

// Whether a kind keeps item 0 as a relative path (else only its last component).
inline bool DestKeepsSubfolders(uint32_t kind) {
  return kind == kDestInstallDir || kind == kDestMyDocuments || kind == kDestAppData;
}

// value := rotl(value, 1) + byte, over the content in order.
//
// Byte by byte that is a chain of two dependent steps per byte, the largest
// cost of an install after unpacking. Eight steps are rotl(value, 8) plus the
// bytes' weighted sum (128 b0 + 64 b1 + ... + b7) whenever no addition on the
// way carries into bit 31: the partial sum before step j is below 2^(j+8), so
// a carry would have to run through bits j+8..30 of rotl(value, j), all set,
// and a 0 among bits 8..23 of value stops it for every j up to 7. Only one
// state in 65,536 lacks one; its eight bytes go one at a time.
inline uint32_t UpdateFileChecksum(uint32_t value, const uint8_t* p, size_t n) {
  for (; n >= 8; p += 8, n -= 8) {
    if ((value & 0x00FFFF00u) == 0x00FFFF00u) {
      for (int i = 0; i < 8; ++i) value = ((value << 1) | (value >> 31)) + p[i];
      continue;
    }
    uint32_t high = ((uint32_t)p[0] * 2 + p[1]) * 4 + ((uint32_t)p[2] * 2 + p[3]);
    uint32_t low = ((uint32_t)p[4] * 2 + p[5]) * 4 + ((uint32_t)p[6] * 2 + p[7]);
    value = ((value << 8) | (value >> 24)) + (high << 4) + low;
  }
  for (size_t i = 0; i < n; ++i) value = ((value << 1) | (value >> 31)) + p[i];
  return value;
}

// One FileEntry as checked against its table. `strings` holds the ten items;
// an item the record does not carry is "" (records commonly end after item 8).
struct FileEntryView {
  const uint8_t* record;
  uint32_t recordSize;
  uint32_t flags;
  uint32_t kind;
  uint32_t checksum;
  uint32_t size;
  uint32_t dataOffset;
  uint32_t storedLength;
  const uint8_t* versionBlock;  // null unless flags & 0x6
  const uint8_t* timesBlock;    // null unless flags & 0x8
  const char* strings[file_entry::kStringCount];
};

inline uint32_t FileEntryStringsOffset(uint32_t flags) {
  uint32_t at = file_entry::kFixedSize;
  if (flags & (kFlagVersionCheck | kFlagLanguageCheck)) at += file_entry::version::kSize;
  if (flags & kFlagTimes) at += file_entry::times::kSize;
  return at;
}

// Parses the record at `offset` of `table`. Fails when the size field or any
// string it carries runs beyond the record, or the record beyond the table.
// Strings must be NUL-terminated inside the record; items after the last
// terminated string read as "".
inline bool ParseFileEntry(ByteView table, uint32_t offset, FileEntryView* out) {
  static const char kEmpty[1] = {0};
  uint32_t recordSize;
  if (!table.U32(offset + file_entry::kRecordSize, &recordSize)) return false;
  if (recordSize < file_entry::kFixedSize || !table.Has(offset, recordSize)) return false;
  ByteView rec = table.Sub(offset, recordSize);
  FileEntryView e{};
  e.record = rec.data;
  e.recordSize = recordSize;
  rec.U32(file_entry::kFlags, &e.flags);
  rec.U32(file_entry::kDestKind, &e.kind);
  rec.U32(file_entry::kChecksum, &e.checksum);
  rec.U32(file_entry::kSize, &e.size);
  rec.U32(file_entry::kDataOffset, &e.dataOffset);
  rec.U32(file_entry::kStoredLength, &e.storedLength);
  uint32_t at = file_entry::kFixedSize;
  if (e.flags & (kFlagVersionCheck | kFlagLanguageCheck)) {
    if (!rec.Has(at, file_entry::version::kSize)) return false;
    e.versionBlock = rec.data + at;
    at += file_entry::version::kSize;
  }
  if (e.flags & kFlagTimes) {
    if (!rec.Has(at, file_entry::times::kSize)) return false;
    e.timesBlock = rec.data + at;
    at += file_entry::times::kSize;
  }
  for (uint32_t k = 0; k < file_entry::kStringCount; ++k) {
    if (at >= recordSize) {
      e.strings[k] = kEmpty;
      continue;
    }
    uint32_t len;
    const char* s = rec.CString(at, &len);
    if (!s) return false;
    e.strings[k] = s;
    at += len + 1;
  }
  *out = e;
  return true;
}

}  // namespace wrenly::format
