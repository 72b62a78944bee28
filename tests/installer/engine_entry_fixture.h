// FileEntry records crafted field by field, for the tests of one entry.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine_driver_fixture.h"
#include "format/file_entry.h"

struct EntryPlan {
  uint32_t flags = 0, kind = 0, size = 0, checksum = 0;
  uint32_t versionMS = 0, versionLS = 0, language = 0;
  std::vector<std::string> items = {"file.txt"};
  uint16_t options = 0;
  uint32_t dataOffset = 0, storedLength = 0;
};

inline FileEntryFields EntryFields(const EntryPlan& p) {
  return {p.items, p.kind, p.flags, p.options, p.size, p.checksum, p.dataOffset, p.storedLength,
          p.versionMS, p.versionLS, p.language};
}

inline std::vector<uint8_t> PlanTable(const std::vector<EntryPlan>& plans) {
  std::vector<FileEntryFields> records;
  for (const EntryPlan& p : plans) records.push_back(EntryFields(p));
  return FileTable(records);
}
// A file table with the one record; the record starts at offset 4.
inline std::vector<uint8_t> PlanTable(const EntryPlan& p) { return PlanTable(std::vector<EntryPlan>{p}); }

using EntryTest = EngineTest;
