// The MessageTable of the current installation type.
#pragma once
#include <stdint.h>

// Text list/item of the current type; never null, "" when missing.
const char* GetMessageText(int list, uint16_t item);
