// FileEntry records crafted field by field, for the tests of one entry.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine_driver_fixture.h"
#include "format/file_entry.h"

struct EntryPlan {
  uint32_t flags = 0;
  uint32_t kind = 0;
  uint32_t size = 0;
  uint32_t checksum = 0;
  uint32_t versionMS = 0, versionLS = 0, language = 0;
  std::vector<std::string> items = {"file.txt"};
  uint16_t options = 0;
  uint32_t dataOffset = 0, storedLength = 0;
};

inline std::vector<uint8_t> EntryRecord(const EntryPlan& p) {
  namespace fe = wrenly::format::file_entry;
  std::vector<uint8_t> r(fe::kFixedSize, 0);
  auto put32 = [&](uint32_t at, uint32_t v) { wrenly::format::StoreU32(r.data() + at, v); };
  wrenly::format::StoreU16(r.data() + fe::kStatus, p.options);
  put32(fe::kFlags, p.flags);
  put32(fe::kDestKind, p.kind);
  put32(fe::kChecksum, p.checksum);
  put32(fe::kSize, p.size);
  put32(fe::kDataOffset, p.dataOffset);
  put32(fe::kStoredLength, p.storedLength);
  if (p.flags & 0x6) {
    r.resize(r.size() + fe::version::kSize, 0);
    put32(fe::kFixedSize + fe::version::kVersionMS, p.versionMS);
    put32(fe::kFixedSize + fe::version::kVersionLS, p.versionLS);
    put32(fe::kFixedSize + fe::version::kLanguage, p.language);
  }
  if (p.flags & 0x8) r.resize(r.size() + fe::times::kSize, 0);
  for (const auto& s : p.items) {
    r.insert(r.end(), s.begin(), s.end());
    r.push_back(0);
  }
  put32(fe::kRecordSize, (uint32_t)r.size());
  return r;
}

inline std::vector<uint8_t> PlanTable(const std::vector<EntryPlan>& plans) {
  std::vector<uint8_t> table(4, 0);
  wrenly::format::StoreU32(table.data(), (uint32_t)plans.size());
  for (const EntryPlan& p : plans) {
    auto r = EntryRecord(p);
    table.insert(table.end(), r.begin(), r.end());
  }
  return table;
}
// A file table with the one record; the record starts at offset 4.
inline std::vector<uint8_t> PlanTable(const EntryPlan& p) { return PlanTable(std::vector<EntryPlan>{p}); }

using EntryTest = EngineTest;
