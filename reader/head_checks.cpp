#include "reader/head_checks.h"

#include <string>

#include "format/block_ids.h"
#include "format/install_type.h"
#include "format/message_list.h"
#include "format/settings.h"
#include "reader/damaged.h"
#include "reader/names.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;

namespace {

std::string Num(uint64_t v) { return std::to_string(v); }

// count records of `size` bytes at `offset` inside `v`.
bool HasRecords(wf::ByteView v, uint64_t offset, uint64_t count, uint32_t size) {
  uint64_t end = offset + count * size;
  return end <= v.size;
}

}  // namespace

void CheckSettings(wf::ByteView s) {
  namespace ss = wf::setup_settings;
  if (s.size < ss::kFixedSize)
    throw Damaged("setup settings of " + Num(s.size) + " bytes, at least " + Num(ss::kFixedSize) + " needed");
  int32_t buttons = 0;
  uint32_t buttonsAt = 0;
  s.I32(ss::kButtonCount, &buttons);
  s.U32(ss::kButtonRecords, &buttonsAt);
  if (buttons < 0 || (buttons > 0 && !HasRecords(s, buttonsAt, uint32_t(buttons), wf::control_record::kSize)))
    throw Damaged("setup settings: " + std::to_string(buttons) + " button records at offset " + Num(buttonsAt) +
                  " run past the block (" + Num(s.size) + " bytes)");
  for (uint32_t k = 0; k < ss::kLayoutCount; ++k) {
    uint32_t at = 0;
    s.U32(ss::kLayouts + 4 * k, &at);
    if (at == 0) continue;
    std::string what = "setup settings: the layout of page kind " + Num(k) + " at offset " + Num(at);
    if (!s.Has(at, wf::page_layout::kSize)) throw Damaged(what + " runs past the block");
    wf::ByteView l{s.data + at, s.size - at};
    uint16_t bodyCount = 0, headerCount = 0;
    uint32_t bodyAt = 0, headerAt = 0;
    l.U16(wf::page_layout::kBodyCount, &bodyCount);
    l.U16(wf::page_layout::kHeaderCount, &headerCount);
    l.U32(wf::page_layout::kBodyRecords, &bodyAt);
    l.U32(wf::page_layout::kHeaderRecords, &headerAt);
    if (bodyCount && !HasRecords(l, bodyAt, bodyCount, wf::control_record::kSize))
      throw Damaged(what + ": its " + Num(bodyCount) + " body records run past the block");
    if (headerCount && !HasRecords(l, headerAt, headerCount, wf::control_record::kSize))
      throw Damaged(what + ": its " + Num(headerCount) + " header records run past the block");
  }
}

void CheckVariantList(wf::ByteView v) {
  int32_t count = 0;
  if (!v.I32(wf::variant_list::kCount, &count) || count < 0 ||
      !HasRecords(v, wf::variant_list::kPairs, uint32_t(count), wf::variant_list::kPairSize))
    throw Damaged("background variant list: its count does not fit its " + Num(v.size) + " bytes");
}

void CheckInstallType(wf::ByteView r, size_t type) {
  namespace it = wf::install_type;
  std::string what = TypeLabel(type);
  if (r.size < it::kFixedSize)
    throw Damaged(what + ": record of " + Num(r.size) + " bytes, at least " + Num(it::kFixedSize) + " needed");
  for (uint32_t field : it::kStringFields) {
    uint32_t at = 0;
    r.U32(field, &at);
    if (at != 0 && !r.CString(at))
      throw Damaged(what + ": the string of field " + Num(field) + " at offset " + Num(at) +
                    (at >= r.size ? " lies past the record" : " has no terminator inside the record"));
  }
  for (uint32_t n = 0; n < it::kMessageListCount; ++n) {
    uint32_t at = 0;
    r.U32(it::kMessageLists + 4 * n, &at);
    if (at != 0 && !wf::ValidateMessageList(r, at))
      throw Damaged(what + ": message list " + Num(n) + " at offset " + Num(at) + " runs past the record");
  }
}

std::vector<wf::FileEntryView> ParseFileTable(wf::ByteView t, size_t type) {
  std::string what = TypeLabel(type) + ": file table";
  uint32_t count = 0;
  if (!t.U32(wf::file_table::kCount, &count)) throw Damaged(what + " has no room for its count");
  std::vector<wf::FileEntryView> entries;
  uint32_t at = wf::file_table::kEntries;
  for (uint32_t i = 0; i < count; ++i) {
    std::string e = what + ", entry " + Num(i) + " at table offset " + Num(at);
    uint32_t size = 0;
    if (!t.U32(at, &size)) throw Damaged(e + ": the table ends (its count says " + Num(count) + " entries)");
    if (size < wf::file_entry::kFixedSize || !t.Has(at, size))
      throw Damaged(e + ": its size " + Num(size) + " runs beyond the table (" + Num(t.size) + " bytes)");
    wf::FileEntryView v;
    if (!wf::ParseFileEntry(t, at, &v)) throw Damaged(e + ": a string or the version/times block runs past the record");
    entries.push_back(v);
    at += size;
  }
  return entries;
}

}  // namespace wrenly::inspector
