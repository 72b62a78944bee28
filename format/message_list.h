// MessageList lookup over a bounds-checked range. The loader validates every
// list of a record once with ValidateMessageList, so later lookups cannot run
// past the record.
#pragma once
#include <stdint.h>

#include "bytes.h"
#include "install_type.h"

namespace wrenly::format {

// True when the list at `offset` of `record` has its count and all its items
// inside the record.
inline bool ValidateMessageList(ByteView record, uint32_t offset) {
  uint16_t count;
  if (!record.U16(offset + message_list::kCount, &count)) return false;
  uint32_t at = offset + message_list::kItems;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t len;
    if (!record.CString(at, &len)) return false;
    at += len + 1;
  }
  return true;
}

// Item `item` of a validated list, or null when item >= count.
inline const char* FindMessageItem(const uint8_t* list, uint16_t item) {
  uint16_t count = LoadU16(list + message_list::kCount);
  if (item >= count) return nullptr;
  const char* p = (const char*)(list + message_list::kItems);
  for (uint16_t i = 0; i < item; ++i) {
    while (*p) ++p;
    ++p;
  }
  return p;
}

}  // namespace wrenly::format
