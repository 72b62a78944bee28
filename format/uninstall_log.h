// The record appended to the installed uninstaller: files block, shortcuts
// block, the type's 5189 sections, and an end header with flags 0x0002.
#pragma once
#include <stdint.h>

#include "block_ids.h"
#include "container.h"

namespace wrenly::format {

// FileRecord kind flags.
enum FileRecordKind : uint8_t {
  kRecordShared = 0x01,
  kRecordFont = 0x02,
  kRecordSelfRegister = 0x04,
  kRecordKeepExisting = 0x08,
};

// A StringField is a u16 length followed by that many bytes, no NUL.
inline constexpr uint32_t kStringFieldLength = 2;

// Files and shortcuts blocks: the header, a u32 count, then the records.
// A FileRecord is StringField folder, StringField name, u8 kind flags; a
// ShortcutRecord is u8 depth, StringField folder, StringField name.
namespace record_block {
inline constexpr uint32_t kCount = block_header::kSize;  // u32
inline constexpr uint32_t kRecords = kCount + 4;
static_assert(kRecords == 12);
}  // namespace record_block

// A FileRecord's folder for the installation folder itself; a path below it
// is this, a backslash and the relative folder.
inline constexpr char kRecordOwnFolder[] = ".";

// The key of the product in the system's list of installed programs: this
// followed by the product name, under HKEY_LOCAL_MACHINE.
inline constexpr char kUninstallKeyPrefix[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr char kUninstallDisplayName[] = "DisplayName";
inline constexpr char kUninstallCommand[] = "UninstallString";
inline constexpr char kUninstallQuietCommand[] = "QuietUninstallString";
inline constexpr char kUninstallLocation[] = "InstallLocation";
inline constexpr char kUninstallIcon[] = "DisplayIcon";
inline constexpr char kUninstallNoModify[] = "NoModify";  // REG_DWORD 1
inline constexpr char kUninstallNoRepair[] = "NoRepair";  // REG_DWORD 1
inline constexpr char kUninstallVersion[] = "DisplayVersion";
inline constexpr char kUninstallPublisher[] = "Publisher";
inline constexpr char kUninstallUrl[] = "URLInfoAbout";
// A signed uninstaller keeps its record in a file beside it, so that its
// signature stays valid: its own path with this in place of its extension.
inline constexpr char kRecordFileExtension[] = ".dat";
// The record file beside program; false when it does not fit in size bytes.
inline bool RecordFileBeside(const char* program, char* out, uint32_t size) {
  uint32_t n = 0, dot = 0;
  for (; program[n]; ++n) {
    if (program[n] == '.') dot = n;
    if (program[n] == '\\' || program[n] == '/') dot = 0;
  }
  if (!dot) dot = n;
  if (dot + sizeof kRecordFileExtension > size) return false;
  for (uint32_t i = 0; i < dot; ++i) out[i] = program[i];
  for (uint32_t i = 0; i < sizeof kRecordFileExtension; ++i) out[dot + i] = kRecordFileExtension[i];
  return true;
}
// The uninstaller's switches of an upgrade: remove what the record in the
// file after /P holds and the uninstaller's own does not; /F is the folder
// that record was installed to.
inline constexpr char kUninstallPreviousSwitch[] = "/P";
inline constexpr char kUninstallFolderSwitch[] = "/F";
// The uninstaller's switch for a run without any window.
inline constexpr char kUninstallSilentSwitch[] = "/S";

// ProductDetails (block kBlockProductDetails), optional: StringFields in
// this order; an empty one is not written. Bytes after the last are left
// for later fields.
namespace product_details {
enum Field : uint32_t { kVersion = 0, kPublisher = 1, kUrl = 2, kFieldCount = 3 };
}  // namespace product_details

// Blocks inside 5189 sections and inside the uninstaller's own data. The
// Installer copies them untouched; only the builder and uninstaller read them.
enum UninstallSectionId : uint16_t {
  kSectionRegistryKey = 0x1240,    // u32 root, StringField key: delete the key
  kSectionRegistryValue = 0x1241,  // u32 root, StringField key, StringField value name
  kSectionIniValue = 0x1242,       // StringField file, section, key
  kSectionProduct = 0x1243,        // the product_identity payload: views and hive of this record
};

// A section's payload: the fixed fields, then its StringFields back to back,
// and nothing after the last one.
namespace registry_section {
inline constexpr uint32_t kRoot = 0;     // u32, as an InstallType's folder root
inline constexpr uint32_t kStrings = 4;  // key, then for a value section its name
static_assert(kStrings == kRoot + 4);
}  // namespace registry_section
inline constexpr uint32_t kRegistryKeyStrings = 1;
inline constexpr uint32_t kRegistryValueStrings = 2;
inline constexpr uint32_t kIniValueStrings = 3;  // file, section, key

// Block 0x1234, the uninstaller's own texts: a u16 count, then that many
// StringFields filling the payload.
namespace uninstaller_texts {
inline constexpr uint32_t kCount = 0;  // u16
inline constexpr uint32_t kStrings = 2;
static_assert(kStrings == kCount + 2);
}  // namespace uninstaller_texts

// The texts of block 0x1234 by index. The builder writes them all; a text
// that is missing or empty falls back to the uninstaller's own wording.
enum UninstallerText : uint16_t {
  kTextPlace = 0,     // the uninstaller's path below the installation folder: "uninstall.exe", "bin\uninstall.exe"
  kTextTitle = 1,     // caption of every window
  kTextQuestion = 2,  // asked before anything is removed
  kTextRemoving = 3,  // above the progress bar
  kTextDone = 4,      // everything was removed
  kTextRestart = 5,   // removed, but files in use go at the next restart
  kTextPartial = 6,   // some parts could not be removed
  kTextDamaged = 7,   // the record is damaged or missing: nothing was removed
  kTextRunning = 8,   // another uninstaller is running
  kUninstallerTextCount = 9,
};

}  // namespace wrenly::format
