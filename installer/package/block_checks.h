// Checks that every offset and count a block carries stays inside it.
#pragma once
#include <stdint.h>

#include "base/package_model.h"

// Validates an InstallType record and resolves its strings and lists into
// slot. 0 when the record is damaged.
int ResolveInstallType(InstallTypeSlot* slot);
// Validates the settings block and resolves its layouts. 0 when damaged.
int ResolveSettings(const uint8_t* block, uint32_t size, const uint8_t* layouts[kLayoutSlots]);
int CheckBitmapTable(const uint8_t* block, uint32_t size);
int CheckFileTable(const uint8_t* block, uint32_t size);
// The variant list's pairs fit the block; 0 when damaged.
int CheckVariantList(const uint8_t* block, uint32_t size);
