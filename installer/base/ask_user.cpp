#include "base/display.h"
#include "base/run_log.h"
#include "base/setup.h"

namespace {
const char* AnswerText(int answer) {
  switch (answer) {
    case kAnswerOk: return "answered OK";
    case kAnswerCancel: return "answered Cancel";
    case kAnswerYes: return "answered Yes";
    case kAnswerNo: return "answered No";
    default: return "closed";
  }
}
}  // namespace

int AskUser(Setup& setup, const char* text, unsigned style, int unattended) {
  int answer = setup.options.quiet ? unattended : ShowMessage(setup, text, style);
  LogAction(setup, setup.options.quiet ? "asked nobody" : "asked", text, AnswerText(answer));
  return answer;
}
