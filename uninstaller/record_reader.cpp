#include "record_reader.h"

#include "format/block_ids.h"
#include "format/bytes.h"
#include "format/container.h"
#include "format/uninstall_log.h"

using namespace wrenly::format;

namespace wrenly::uninstaller {
namespace {

// Reads fields front to back inside one block's payload; the first read that
// would leave it fails this and every later read. Each read costs one unit
// of the search's budget.
struct Cursor {
  ByteView v;
  uint32_t at;
  uint32_t* budget;
  bool ok;

  bool Spend() { return ok = ok && *budget > 0 && (--*budget, true); }
  uint8_t U8() {
    uint8_t x = 0;
    ok = Spend() && v.U8(at, &x);
    at += ok;
    return x;
  }
  uint16_t U16() {
    uint16_t x = 0;
    ok = Spend() && v.U16(at, &x);
    at += ok ? 2 : 0;
    return x;
  }
  uint32_t U32() {
    uint32_t x = 0;
    ok = Spend() && v.U32(at, &x);
    at += ok ? 4 : 0;
    return x;
  }
  TextView Field() {
    uint16_t n = 0;
    ok = Spend() && v.U16(at, &n) && v.Has(at + kStringFieldLength, n);
    if (!ok) return TextView{"", 0};
    TextView t{(const char*)v.data + at + kStringFieldLength, n};
    at += kStringFieldLength + n;
    return t;
  }
  RecordRefusal Done() const {
    if (!ok) return kRecordPastEnd;
    return at == v.size ? kRecordGood : kRecordLeftover;
  }
};

RecordRefusal ReadTexts(Cursor& c, const RecordVisitor* visitor) {
  uint16_t count = 0;
  c.ok = c.Spend() && c.v.U16(uninstaller_texts::kCount, &count);
  c.at = uninstaller_texts::kStrings;
  for (uint16_t i = 0; i < count && c.ok; ++i) {
    TextView t = c.Field();
    if (c.ok && visitor && visitor->text) visitor->text(visitor->context, i, t);
  }
  return c.Done();
}

RecordRefusal ReadFiles(Cursor& c, uint32_t record, const RecordVisitor* visitor) {
  uint32_t count = c.U32();
  for (uint32_t i = 0; i < count && c.ok; ++i) {
    FileRecordView f;
    f.folder = c.Field(), f.name = c.Field(), f.kind = c.U8();
    if (c.ok && visitor && visitor->file) visitor->file(visitor->context, record, f);
  }
  return c.Done();
}

RecordRefusal ReadShortcuts(Cursor& c, uint32_t record, const RecordVisitor* visitor) {
  uint32_t count = c.U32();
  for (uint32_t i = 0; i < count && c.ok; ++i) {
    ShortcutRecordView s;
    s.depth = c.U8(), s.folder = c.Field(), s.name = c.Field();
    if (c.ok && visitor && visitor->shortcut) visitor->shortcut(visitor->context, record, s);
  }
  return c.Done();
}

RecordRefusal ReadSection(Cursor& c, uint16_t id, uint32_t record, const RecordVisitor* visitor) {
  SectionView s{id, 0, {"", 0}, {"", 0}, {"", 0}, 0, 0, 0};
  if (id == kSectionProduct) {
    s.architecture = c.U8(), s.scope = c.U8(), s.flags = c.U16(), s.key = c.Field();
    if (c.ok) c.at = c.v.size;  // later fields are a later uninstaller's
  } else if (id == kSectionIniValue) {
    s.file = c.Field(), s.key = c.Field(), s.name = c.Field();
  } else {
    s.root = c.U32();
    s.key = c.Field();
    if (id == kSectionRegistryValue) s.name = c.Field();
  }
  RecordRefusal r = c.Done();
  if (r == kRecordGood && visitor && visitor->section) visitor->section(visitor->context, record, s);
  return r;
}

// The texts block at `start`, then records up to the final end header at
// `end`. Blocks must tile that range exactly.
RecordRefusal Walk(ByteView file, uint32_t start, uint32_t end, const RecordVisitor* visitor, uint32_t* budget,
                   uint32_t* records, uint32_t* reached) {
  ByteView body = file.Sub(0, end);
  uint16_t previous = 0;
  *records = 0;
  for (uint32_t at = start; at < end;) {
    *reached = at;
    if (!body.Has(at, block_header::kSize) || *budget == 0) return kRecordPastEnd;
    --*budget;
    BlockHeader h = ParseBlockHeader(body.data + at);
    uint32_t payloadAt = at + block_header::kSize;
    if (!body.Has(payloadAt, h.length)) return kRecordPastEnd;
    Cursor c{body.Sub(payloadAt, h.length), 0, budget, true};
    bool first = at == start;
    RecordRefusal r = kRecordUnknownBlock;
    if (h.flags != 0) {
      // never compressed, never anything else
    } else if (first != (h.id == kUninstallTexts)) {
    } else if (first) {
      r = ReadTexts(c, visitor);
    } else if (h.id == kUninstallFiles) {
      r = ReadFiles(c, (*records)++, visitor);
    } else if (previous == kUninstallFiles && h.id == kUninstallShortcuts) {
      r = ReadShortcuts(c, *records - 1, visitor);
    } else if (*records > 0 && h.id >= kSectionRegistryKey && h.id <= kSectionProduct) {
      r = ReadSection(c, h.id, *records - 1, visitor);
    }
    if (r != kRecordGood) return r;
    previous = h.id;
    at = payloadAt + h.length;
  }
  return *records ? kRecordGood : kRecordMissing;
}

}  // namespace

// The file ends with the complete end header. The program before the data is
// opaque, so the data begins at the lowest offset holding a texts block
// (id 0x1234, flags 0) from which every block, count and string checks out
// and the blocks end exactly at that header. Candidates inside the program
// fail within a block or two; a budget of reads proportional to the file's
// size keeps a crafted file from making the search quadratic.
RecordRefusal ReadUninstallFile(const uint8_t* bytes, uint32_t size, const RecordVisitor* visitor, UninstallFile* out) {
  ByteView file{bytes, size};
  if (size < block_header::kSize) return kRecordNoEnd;
  uint32_t end = size - block_header::kSize;
  BlockHeader last = ParseBlockHeader(bytes + end);
  if (last.id != kBlockEnd || !(last.flags & kEndFlagRecordComplete) || last.length != 0) return kRecordNoEnd;

  uint32_t budget = size + 0x10000, records = 0, reached = 0, furthest = 0;
  RecordRefusal best = kRecordNoData;
  for (uint32_t at = 0; at + block_header::kSize <= end && budget > 0; ++at) {
    if (LoadU16(bytes + at + block_header::kId) != kUninstallTexts) continue;
    RecordRefusal r = Walk(file, at, end, nullptr, &budget, &records, &reached);
    if (r == kRecordGood) {
      uint32_t unlimited = ~0u;
      Walk(file, at, end, visitor, &unlimited, &records, &reached);
      *out = UninstallFile{at, records};
      return kRecordGood;
    }
    // The reason worth reporting is the one of the walk that got furthest.
    if (reached >= furthest) best = r, furthest = reached;
  }
  return best;
}

}  // namespace wrenly::uninstaller
