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

// Blocks inside 5189 sections and inside the uninstaller's own data. The
// Installer copies them untouched; only the builder and uninstaller read them.
enum UninstallSectionId : uint16_t {
  kSectionRegistryKey = 0x1240,   // u32 root, StringField key: delete the key
  kSectionRegistryValue = 0x1241, // u32 root, StringField key, StringField value name
  kSectionIniValue = 0x1242,      // StringField file, section, key
};

}  // namespace wrenly::format
