// The program under test: the process the driver started and the windows it
// shows. Windows are found by process id, so Wine's own windows and those of
// other programs never count.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace driver {

struct Target {
  PROCESS_INFORMATION process{};
  bool started = false;
  bool exited = false;
  DWORD exitCode = 0;
  HWND current = nullptr;  // the window the last wait found; buttons are looked up there
};

bool StartTarget(Target& t, const std::string& commandLine);
// True once the process has ended; records its exit code.
bool PollExit(Target& t);
// Waits up to `ms` for the end of the process.
bool WaitExit(Target& t, DWORD ms);
void KillTarget(Target& t);
void CloseTarget(Target& t);

// Visible top-level windows of the target, in z-order.
std::vector<HWND> TopLevelWindows(const Target& t);
// Every descendant of `parent`, in creation order of each level.
std::vector<HWND> Descendants(HWND parent);

std::string ClassOf(HWND h);
// The window's text through WM_GETTEXT, which Windows carries across processes.
std::string TextOf(HWND h);
int IdOf(HWND h);

// A button caption as a person reads it: '&' mnemonics dropped, case ignored.
bool SameCaption(const std::string& shown, const std::string& wanted);
HWND FindButton(HWND window, const std::string& caption);
// A control by id among the descendants of the target's visible top-level
// windows: the window last waited for first, then the others in z-order; a
// visible control before a hidden one. Hidden ones count only when
// `visibleOnly` is false.
HWND FindControl(const Target& t, int id, bool visibleOnly);
// The target's visible top-level window of that class.
HWND FindTopLevel(const Target& t, const std::string& cls);
// The message text of a message box: its first static control that is not an icon.
std::string MessageTextOf(HWND box);

}  // namespace driver
