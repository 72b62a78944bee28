// Checks of the records the loader touches: every offset, count and string
// must lie inside its block. Each throws Damaged naming the field.
#pragma once
#include <vector>

#include "format/bytes.h"
#include "format/file_entry.h"

namespace wrenly::inspector {

void CheckSettings(format::ByteView settings);
void CheckVariantList(format::ByteView list);
void CheckInstallType(format::ByteView record, size_t type);
std::vector<format::FileEntryView> ParseFileTable(format::ByteView table, size_t type);

}  // namespace wrenly::inspector
