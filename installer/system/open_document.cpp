#include "system/open_document.h"

#include <windows.h>

// The registry fallback of the extension's handler comes with the rest of
// the system integration; the shell opens what it knows.
intptr_t OpenDocument(const char* file, const char*) {
  return (intptr_t)ShellExecuteA(nullptr, "open", file, nullptr, nullptr, SW_SHOW);
}
