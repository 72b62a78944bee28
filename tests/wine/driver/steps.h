// What the step files share, and the steps that live outside commands.cpp:
// controls by id (control_steps.cpp) and the screenshot (screenshot_step.cpp).
#pragma once
#include <string>

#include "commands.h"

namespace driver {

constexpr DWORD kPollMs = 50;

// A SECONDS argument ("0.5" too) in milliseconds.
DWORD Seconds(const std::string& s);
// The exit code as the shell sees it: "exit N".
std::string ExitLine(const Target& t);

// Polls until `found` returns a window or the process ends or time runs out.
template <class Find>
HWND WaitFor(Target& t, DWORD ms, Find found) {
  for (DWORD waited = 0;; waited += kPollMs) {
    if (HWND h = found()) return h;
    if (PollExit(t) || waited >= ms) return nullptr;
    Sleep(kPollMs);
  }
}

// A wait that found nothing: `NO exit N` when the target has ended, else
// `timeout` and what it shows instead. Always false.
bool WaitFailed(const Target& t, const std::string& no);
// After a wait that timed out: what the target shows instead, so that a
// failing scenario explains itself (visible controls with an id).
void ReportShown(const Target& t);
// How many clicks were sent, and how many the target has answered.
std::string ClickCounts();

bool WaitControl(Target& t, const Args& args);
bool Text(Target& t, const Args& args);
bool WaitText(Target& t, const Args& args);
bool WaitPage(Target& t, const Args& args);
bool State(Target& t, const Args& args);
bool SetText(Target& t, const Args& args);
bool ClickControl(Target& t, const Args& args);
bool Close(Target& t, const Args& args);

bool Screenshot(Target& t, const Args& args);

}  // namespace driver
