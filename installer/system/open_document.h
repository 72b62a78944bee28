// Opening a file or address with the program registered for its type.
#pragma once
#include <stdint.h>

// A result above 32 is success. `extension` (".txt") names the type whose
// handler is used when the shell cannot open the file itself.
intptr_t OpenDocument(const char* file, const char* extension);

// The handler's command for file: the template up to its placeholder ("%1",
// quoted or not; all of it without one), a blank and the file in quotes.
// Returns the length it needs; out (size bytes) holds it when it fits.
uint32_t HandlerCommand(char* out, uint32_t size, const char* handler, const char* file);
