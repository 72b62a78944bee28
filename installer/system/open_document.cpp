#include "system/open_document.h"

#include "base/setup.h"
#include "platform/process.h"
#include "platform/system.h"
#include "text/command_text.h"

namespace {

// The registry's own error when the type has no handler.
constexpr intptr_t kNoHandler = 2;
constexpr char kOpenCommand[] = "\\shell\\open\\command";

const char* Find(const char* text, const char* part) {
  for (; *text; ++text) {
    uint32_t i = 0;
    while (part[i] && text[i] == part[i]) ++i;
    if (!part[i]) return text;
  }
  return nullptr;
}

}  // namespace

uint32_t HandlerCommand(char* out, uint32_t size, const char* handler, const char* file) {
  const char* cut = Find(handler, "\"%1\"");
  if (!cut) cut = Find(handler, "%1");
  CommandText t(out, size);
  t.Put(handler, cut ? (uint32_t)(cut - handler) : 0xFFFFFFFFu).Put(" ").Quoted(file);
  return t.length;
}

intptr_t OpenDocument(const char* file, const char* extension) {
  intptr_t result = ShellOpen(file);
  if (result > 32) return result;
  char key[kPathSize + sizeof kOpenCommand], handler[kPathSize];
  if (!QueryRegistryString(kRootClassesRoot, extension, "", key, kPathSize) || !*key) return kNoHandler;
  uint32_t n = 0;
  while (key[n]) ++n;
  for (uint32_t i = 0; i < sizeof kOpenCommand; ++i) key[n + i] = kOpenCommand[i];
  if (!QueryRegistryString(kRootClassesRoot, key, "", handler, kPathSize)) return kNoHandler;
  char command[kPathSize + kWorkPathSize];
  if (HandlerCommand(command, sizeof command, handler, file) >= sizeof command) return kNoHandler;
  return StartCommand(command, kShow);
}
