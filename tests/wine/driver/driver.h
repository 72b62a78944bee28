// What the driver's files share: the program under test, which the driver
// started and whose windows it finds by process id (so Wine's own windows
// and those of other programs never count), and the driver's output: one
// line per observation, texts in double quotes, so that a scenario compares
// whole lines.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace driver {

using Args = std::vector<std::string>;

struct Target {
  PROCESS_INFORMATION process{};
  bool started = false;
  bool exited = false;
  DWORD exitCode = 0;
  HWND current = nullptr;  // the window the last wait found; buttons are looked up there
};

// Waits up to `ms` for the end of the process and records its exit code.
bool WaitExit(Target& t, DWORD ms);
void KillTarget(Target& t);

// Visible top-level windows of the target and of the processes descended
// from it, in z-order.
std::vector<HWND> TopLevelWindows(const Target& t);
// How many of the target and its descendants still run.
size_t StillRunning(Target& t);
std::vector<HWND> Descendants(HWND parent);
std::string ClassOf(HWND h);
// WM_GETTEXT, which Windows carries across processes (rich edit included).
std::string TextOf(HWND h);
int IdOf(HWND h);
// Suspends every thread of the target and waits until they stand (true), or
// lets them go on (false).
void HoldStill(const Target& t, bool still);
// A control by id among the descendants of the target's visible top-level
// windows: the window last waited for first, then the others in z-order; a
// visible control before a hidden one, which counts only when `visibleOnly`
// is false.
HWND FindControl(const Target& t, int id, bool visibleOnly);

// `"text"` with '"' escaped and line breaks written as \n, so a text never
// spans lines.
std::string Quoted(const std::string& text);
// Prints a line at once: the scenario may be watching while the target
// still runs. Returns true, so that a step ends with its line.
bool Line(const std::string& line);
bool Fail(const std::string& line);  // the same, false

bool Screenshot(Target& t, const Args& args);
bool SaveRegistry(Target& t, const Args& args);

}  // namespace driver
