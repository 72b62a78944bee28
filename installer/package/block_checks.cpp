#include "package/block_checks.h"

#include "format/bitmaps.h"
#include "format/block_ids.h"
#include "format/bytes.h"
#include "format/file_entry.h"
#include "format/message_list.h"
#include "package/package.h"

namespace wf = wrenly::format;
namespace it = wf::install_type;
namespace ss = wf::setup_settings;
namespace pl = wf::page_layout;

namespace {

// A non-zero string offset must name a string that ends inside the record.
bool ResolveString(wf::ByteView record, uint32_t field, const char** out) {
  uint32_t offset = wf::LoadU32(record.data + field);
  *out = nullptr;
  if (offset == 0) return true;
  *out = record.CString(offset);
  return *out != nullptr;
}

// count records of 32 bytes at offset lie inside the view.
bool HasRecords(wf::ByteView v, uint32_t offset, uint32_t count) {
  return (uint64_t)count * wf::control_record::kSize <= v.size && v.Has(offset, count * wf::control_record::kSize);
}

}  // namespace

int ResolveInstallType(InstallTypeSlot* slot) {
  wf::ByteView record{slot->record, slot->recordSize};
  if (record.size < it::kFixedSize) return 0;
  const struct {
    uint32_t field;
    const char** out;
  } strings[] = {
      {it::kProductName, &slot->productName},     {it::kTypeName, &slot->typeName},
      {it::kDefaultFolder, &slot->defaultFolder}, {it::kFolderKey, &slot->folderKey},
      {it::kFolderValue, &slot->folderValue},     {it::kIniFile, &slot->iniFile},
      {it::kIniSection, &slot->iniSection},       {it::kIniKey, &slot->iniKey},
  };
  for (const auto& s : strings)
    if (!ResolveString(record, s.field, s.out)) return 0;
  for (uint32_t n = 0; n < it::kMessageListCount; ++n) {
    uint32_t offset = wf::LoadU32(record.data + it::kMessageLists + 4 * n);
    slot->lists[n] = nullptr;
    if (offset == 0) continue;
    if (!wf::ValidateMessageList(record, offset)) return 0;
    slot->lists[n] = record.data + offset;
  }
  return 1;
}

int ResolveSettings(const uint8_t* block, uint32_t size, const uint8_t* layouts[kLayoutSlots]) {
  wf::ByteView v{block, size};
  if (size < ss::kFixedSize) return 0;
  int32_t buttons = 0;
  uint32_t buttonOffset = 0;
  v.I32(ss::kButtonCount, &buttons);
  v.U32(ss::kButtonRecords, &buttonOffset);
  if (buttons < 0 || (buttons > 0 && !HasRecords(v, buttonOffset, (uint32_t)buttons))) return 0;
  for (uint32_t k = 0; k < ss::kLayoutCount; ++k) {
    uint32_t offset = wf::LoadU32(block + ss::kLayouts + 4 * k);
    layouts[k] = nullptr;
    if (offset == 0) continue;
    if (!v.Has(offset, pl::kSize)) return 0;
    wf::ByteView layout = v.Sub(offset, size - offset);
    uint16_t bodyCount = wf::LoadU16(layout.data + pl::kBodyCount);
    uint16_t headerCount = wf::LoadU16(layout.data + pl::kHeaderCount);
    uint32_t bodyAt = wf::LoadU32(layout.data + pl::kBodyRecords);
    uint32_t headerAt = wf::LoadU32(layout.data + pl::kHeaderRecords);
    if (bodyCount && !HasRecords(layout, bodyAt, bodyCount)) return 0;
    if (headerCount && !HasRecords(layout, headerAt, headerCount)) return 0;
    layouts[k] = layout.data;
  }
  layouts[ss::kLayoutCount] = BuiltInClosingLayout();
  return 1;
}

int CheckBitmapTable(const uint8_t* block, uint32_t size) {
  wf::ByteView v{block, size};
  uint32_t count;
  if (!v.U32(wf::bitmap_table::kCount, &count)) return 0;
  if (count > (size - wf::bitmap_table::kOffsets) / 4) return 0;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t offset = wf::LoadU32(block + wf::bitmap_table::kOffsets + 4 * i);
    if (offset != 0 && offset >= size) return 0;
  }
  return 1;
}

int CheckFileTable(const uint8_t* block, uint32_t size) {
  wf::ByteView v{block, size};
  uint32_t count;
  if (!v.U32(wf::file_table::kCount, &count)) return 0;
  uint32_t at = wf::file_table::kEntries;
  for (uint32_t i = 0; i < count; ++i) {
    wf::FileEntryView entry;
    if (!wf::ParseFileEntry(v, at, &entry)) return 0;
    at += entry.recordSize;
  }
  return 1;
}

int CheckVariantList(const uint8_t* block, uint32_t size) {
  wf::ByteView v{block, size};
  int32_t count;
  if (!v.I32(wf::variant_list::kCount, &count)) return 0;
  if (count <= 0) return 1;
  return (uint64_t)count * wf::variant_list::kPairSize <= size - wf::variant_list::kPairs;
}
