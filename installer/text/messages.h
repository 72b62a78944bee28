// The MessageTable of the current installation type.
#pragma once
#include <stdint.h>

#include "base/setup.h"

// Text list/item of the current type; never null, "" when missing.
const char* GetMessageText(Setup& setup, int list, uint16_t item);
