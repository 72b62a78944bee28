#include "base/display.h"
#include "base/run_log.h"
#include "base/setup.h"

namespace {
const char* AnswerName(int answer) {
  switch (answer) {
    case kAnswerOk: return "OK";
    case kAnswerCancel: return "Cancel";
    case kAnswerYes: return "Yes";
    case kAnswerNo: return "No";
    default: return "closed";
  }
}
}  // namespace

int AskUser(Setup& setup, const char* text, unsigned style, int unattended) {
  int answer = setup.options.quiet ? unattended : ShowMessage(setup, text, style);
  char why[32] = "answered ";
  const char* name = AnswerName(answer);
  uint32_t n = 9;
  while (*name && n + 1 < sizeof why) why[n++] = *name++;
  why[n] = 0;
  LogAction(setup, setup.options.quiet ? "asked nobody" : "asked", text, why);
  return answer;
}
