#include "base/display.h"
#include "base/setup.h"

int AskUser(Setup& setup, const char* text, unsigned style, int unattended) {
  if (setup.options.quiet) return unattended;
  return ShowMessage(setup, text, style);
}
