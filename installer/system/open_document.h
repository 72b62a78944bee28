// Opening a file or address with the program registered for its type.
#pragma once
#include <stdint.h>

// A result above 32 is success. `extension` (".txt") names the type whose
// handler is used when the shell cannot open the file itself.
intptr_t OpenDocument(const char* file, const char* extension);
