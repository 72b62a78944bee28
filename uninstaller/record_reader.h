// The uninstaller's view of its own file: the program, its texts (block
// 0x1234), then the records the Installer appended, each a files block, an
// optional shortcuts block and the type's sections, and one final end header
// marking the whole as complete. Nothing is handed out before the whole file
// has been checked: a damaged record removes nothing.
#pragma once
#include <stdint.h>

namespace wrenly::uninstaller {

enum RecordRefusal : uint8_t {
  kRecordGood = 0,
  kRecordNoEnd,         // the file does not end with a complete end header
  kRecordNoData,        // no texts block from which the rest reads cleanly
  kRecordPastEnd,       // a block, string or count runs past its bounds
  kRecordLeftover,      // a block holds bytes behind its last field
  kRecordUnknownBlock,  // a block this program does not know inside a record
  kRecordMissing,       // texts but no record behind them
};

// A StringField: not NUL-terminated.
struct TextView {
  const char* text;
  uint16_t length;
};

struct FileRecordView {
  TextView folder, name;
  uint8_t kind;  // FileRecordKind flags
};

struct ShortcutRecordView {
  uint8_t depth;
  TextView folder, name;
};

// A 5189 section. Registry: root, key and (value sections) the value name in
// `name`. INI: file, section, key in `file`, `key`, `name`. Product: the
// identity's numbers, and its id in `key`.
struct SectionView {
  uint16_t id;  // UninstallSectionId
  uint32_t root;
  TextView file, key, name;
  uint8_t architecture, scope;
  uint16_t flags;
};

// Called for each item in file order; `record` counts from 0. Any may be null.
struct RecordVisitor {
  void* context;
  void (*text)(void* context, uint16_t index, TextView text);
  void (*file)(void* context, uint32_t record, const FileRecordView& file);
  void (*shortcut)(void* context, uint32_t record, const ShortcutRecordView& shortcut);
  void (*section)(void* context, uint32_t record, const SectionView& section);
};

struct UninstallFile {
  uint32_t dataStart;  // the program's size
  uint32_t records;
};

// Checks the whole file, then walks it once more for the visitor (may be
// null). On a refusal the visitor has not been called.
RecordRefusal ReadUninstallFile(const uint8_t* bytes, uint32_t size, const RecordVisitor* visitor, UninstallFile* out);

}  // namespace wrenly::uninstaller
