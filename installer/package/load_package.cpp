#include <string.h>

#include "base/package_model.h"
#include "base/setup.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/file_entry.h"
#include "package/block_handlers.h"
#include "package/data_area.h"
#include "package/package.h"
#include "platform/system.h"
#include "text/messages.h"

namespace wf = wrenly::format;

namespace {

// The end block: where the DataArea starts and whether the file holds it.
int HandleEndBlock(Setup& setup, WalkState& walk, FileHandle file, uint32_t fileSize) {
  uint32_t e = FileTell(file);
  uint8_t field[wf::kEndBlockSizeField];
  if (e == kSeekFailed || FileRead(file, field, sizeof field) != 0) return kLoadReadFailed;
  uint32_t size = wf::LoadU32(field);
  setup.dataArea.sizeField = e;
  setup.dataArea.start = e + wf::kEndBlockSizeField;
  setup.dataArea.volumeSize = size;
  setup.dataArea.bytesLeft = size;
  setup.dataArea.earlierBytes = 0;
  uint64_t dataEnd = (uint64_t)setup.dataArea.start + size;
  bool whole = walk.resumed ? fileSize == setup.dataArea.start : fileSize >= dataEnd;
  if (whole) walk.complete = true;
  return kLoadOk;
}

int WalkBlocks(Setup& setup, WalkState& walk, FileHandle file) {
  uint32_t fileSize = FileSize(file);
  if (fileSize == kSeekFailed) return kLoadReadFailed;
  if (FileSeek(file, (int32_t)setup.package.firstBlock, kSeekStart) == kSeekFailed) return kLoadReadFailed;
  for (;;) {
    uint8_t raw[wf::block_header::kSize];
    if (FileRead(file, raw, sizeof raw) != 0) return kLoadReadFailed;
    wf::BlockHeader h = wf::ParseBlockHeader(raw);
    if (h.id == wf::kBlockEnd) return HandleEndBlock(setup, walk, file, fileSize);
    if (h.length == 0) continue;
    uint32_t at = FileTell(file);
    // A block that claims more than the file holds cannot be read whole.
    if (at == kSeekFailed || at > fileSize || h.length > fileSize - at) return kLoadDamaged;
    int r = HandleBlock(setup, walk, file, h);
    if (r != kLoadOk) return r;
    if (FileSeek(file, (int32_t)(at + h.length), kSeekStart) == kSeekFailed) return kLoadReadFailed;
  }
}

// A run without its settings shows nothing, a type without its file table
// installs nothing, an uninstaller entry without the image writes an empty
// program: each would end as a success. A type with no files carries an
// empty table.
bool HoldsWhatTheRunNeeds(const Package& package) {
  if (!package.settings) return false;
  bool imageNeeded = false;
  for (int t = 0; t < package.typeCount; ++t) {
    const InstallTypeSlot& type = package.types[t];
    if (!type.fileTable) return false;
    wf::ByteView table{type.fileTable, type.fileTableSize};
    uint32_t count = 0, at = wf::file_table::kEntries;
    table.U32(wf::file_table::kCount, &count);
    wf::FileEntryView e;
    for (uint32_t i = 0; i < count && wf::ParseFileEntry(table, at, &e); ++i, at += e.recordSize)
      imageNeeded = imageNeeded || (wf::LoadU16(e.record + wf::file_entry::kStatus) & wf::kOptUninstaller);
  }
  return !imageNeeded || package.uninstallerSize > 0;
}

}  // namespace

int LoadPackage(Setup& setup) {
  memcpy(setup.packagePath, setup.ownPath, kPathSize);
  setup.packagePath[kPathSize - 1] = 0;
  FileHandle file = FileOpen(setup.packagePath, kFileRead);
  if (file == INVALID_FILE) return 0;
  if (!FindPackage(setup.package, file)) {
    FileClose(file);
    return 0;
  }
  WalkState walk{-1, -1, 0, false, setup.options.resumeType >= 1};
  int r = WalkBlocks(setup, walk, file);
  FileClose(file);
  setup.package.typeCount = walk.typeIndex + 1;
  // A package without a type, or one that starts with a type it lacks, is damaged.
  if (r != kLoadOk || setup.package.typeCount < (int)wf::kMinInstallTypes || !HoldsWhatTheRunNeeds(setup.package) ||
      !SelectInstallType(setup, walk.initialType)) {
    FreePackage(setup.package);
    return 0;
  }
  if (walk.complete) return 1;
  const char* text = GetMessageText(setup, wf::msg::kListMessages, wf::msg::kPackageIncomplete);
  if (*text && !setup.options.quiet)
    ShowInformation(text, GetMessageText(setup, wf::msg::kListMessages, wf::msg::kCaption));
  FreePackage(setup.package);
  return 0;
}
