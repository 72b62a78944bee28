#include "commands.h"

#include <stdlib.h>

#include "report.h"
#include "steps.h"

namespace driver {

DWORD Seconds(const std::string& s) { return static_cast<DWORD>(atof(s.c_str()) * 1000.0); }

std::string ExitLine(const Target& t) {
  // Reported as the shell sees it: the low byte (-1 shows as 255).
  return "exit " + std::to_string(t.exitCode & 0xFF);
}

namespace {

std::string Describe(HWND h) {
  return "class=" + Quoted(ClassOf(h)) + " caption=" + Quoted(TextOf(h));
}

// The window a button command works on: the one last waited for, else the
// target's topmost visible window.
HWND CurrentWindow(Target& t) {
  if (t.current && IsWindow(t.current) && IsWindowVisible(t.current)) return t.current;
  auto windows = TopLevelWindows(t);
  return windows.empty() ? nullptr : windows.front();
}

bool Probe(Target&, const Args&) {
  Line("driver bits=" + std::to_string(sizeof(void*) * 8));
  return true;
}

// Arguments are joined into the command line as they stand, except that one
// with a space and no quote of its own is quoted; an argument that carries
// quotes (/S"C:\a b\setup.exe") is the caller's exact text.
std::string CommandLineOf(const Args& args) {
  std::string line;
  for (const auto& a : args) {
    if (!line.empty()) line += ' ';
    bool quote = a.find(' ') != std::string::npos && a.find('"') == std::string::npos;
    line += quote ? "\"" + a + "\"" : a;
  }
  return line;
}

bool Start(Target& t, const Args& args) {
  std::string line = CommandLineOf(args);
  if (t.started && !PollExit(t)) {
    Line("error already-running");
    return false;
  }
  CloseTarget(t);
  if (!StartTarget(t, line)) {
    Line("error start " + Quoted(line) + " code=" + std::to_string(GetLastError()));
    return false;
  }
  return true;
}

bool WaitWindow(Target& t, const Args& args) {
  HWND h = WaitFor(t, Seconds(args[0]), [&]() -> HWND {
    auto w = TopLevelWindows(t);
    return w.empty() ? nullptr : w.front();
  });
  if (!h) return WaitFailed(t, "no-window");
  t.current = h;
  Line("window " + Describe(h));
  return true;
}

// A box still being built has no visible button yet; one being closed has
// lost its caption. Either is not yet (or no longer) the dialog to answer.
// Buttons must be the dialog's own: the wizard's frame, also a top-level
// dialog in one mode, holds its buttons in a child dialog.
bool DialogReady(HWND w) {
  if (TextOf(w).empty() && MessageTextOf(w).empty()) return false;
  for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (ClassOf(c) == "Button" && IsWindowVisible(c)) return true;
  return false;
}

bool WaitDialog(Target& t, const Args& args) {
  HWND h = WaitFor(t, Seconds(args[0]), [&]() -> HWND {
    for (HWND w : TopLevelWindows(t))
      if (ClassOf(w) == "#32770" && DialogReady(w)) return w;
    return nullptr;
  });
  if (!h) return WaitFailed(t, "no-dialog");
  t.current = h;
  Line("dialog caption=" + Quoted(TextOf(h)) + " text=" + Quoted(MessageTextOf(h)));
  return true;
}

bool ExpectNoWindow(Target& t, const Args& args) {
  HWND h = WaitFor(t, Seconds(args[0]), [&]() -> HWND {
    auto w = TopLevelWindows(t);
    return w.empty() ? nullptr : w.front();
  });
  if (h) {
    Line("window " + Describe(h));
    return false;
  }
  if (!t.exited) {
    Line("timeout");
    return false;
  }
  Line("no-window");
  return true;
}

}  // namespace

bool WaitFailed(const Target& t, const std::string& no) {
  Line(t.exited ? no + " " + ExitLine(t) : "timeout");
  if (!t.exited) ReportShown(t);
  return false;
}

void ReportShown(const Target& t) {
  Line("  shown " + ClickCounts());
  for (HWND w : TopLevelWindows(t)) {
    Line("  shown window " + Describe(w));
    for (HWND c : Descendants(w)) {
      if (!IsWindowVisible(c) || IdOf(c) == 0) continue;
      std::string text = TextOf(c);
      if (text.size() > 60) text = text.substr(0, 57) + "...";
      Line("  shown   id=" + std::to_string(IdOf(c)) + " class=" + Quoted(ClassOf(c)) +
           " enabled=" + std::to_string(IsWindowEnabled(c) ? 1 : 0) + " text=" + Quoted(text));
    }
  }
}

namespace {

// A click as the button's parent receives it; works whether or not the
// target's window is active, unlike a synthesised mouse click.
bool Click(Target& t, HWND button, const std::string& label) {
  HWND parent = GetParent(button);
  PostMessageA(parent, WM_COMMAND, MAKEWPARAM(IdOf(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  // A message box answered goes away before the next step looks for
  // windows, so a box that follows it is never mistaken for it.
  if (ClassOf(parent) == "#32770" && !(GetWindowLongPtrA(parent, GWL_STYLE) & WS_CHILD))
    for (DWORD waited = 0; waited < 3000 && IsWindow(parent) && IsWindowVisible(parent); waited += 10) Sleep(10);
  t.current = nullptr;
  Line("pressed " + label);
  return true;
}

bool Press(Target& t, const Args& args) {
  HWND w = CurrentWindow(t);
  HWND b = w ? FindButton(w, args[0]) : nullptr;
  if (!b) {
    Line("no-button " + Quoted(args[0]));
    return false;
  }
  return Click(t, b, args[0]);
}

bool WaitExitCmd(Target& t, const Args& args) {
  if (!WaitExit(t, Seconds(args[0]))) {
    Line("timeout");
    return false;
  }
  Line(ExitLine(t));
  return true;
}

// Lets a scenario hold the driver until the shell has done its part.
bool WaitFile(Target&, const Args& args) {
  for (DWORD waited = 0;; waited += kPollMs) {
    if (GetFileAttributesA(args[0].c_str()) != INVALID_FILE_ATTRIBUTES) {
      Line("file " + Quoted(args[0]));
      return true;
    }
    if (waited >= Seconds(args[1])) break;
    Sleep(kPollMs);
  }
  Line("timeout no-file " + Quoted(args[0]));
  return false;
}

// Plays another program that has PATH open, as a running program's image
// is: others may only read it. Held until the driver ends.
bool Hold(Target&, const Args& args) {
  HANDLE file = CreateFileA(args[0].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    Line("no-file " + Quoted(args[0]));
    return false;
  }
  Line("holding " + Quoted(args[0]));
  return true;
}

bool Kill(Target& t, const Args&) {
  KillTarget(t);
  Line("killed");
  return true;
}

const std::vector<Command> kCommands = {
    {"probe", 0, 0, "probe", false, Probe},
    {"start", 1, -1, "start PROGRAM [ARGUMENT]...", false, Start},
    {"wait-window", 1, 1, "wait-window SECONDS", true, WaitWindow},
    {"wait-dialog", 1, 1, "wait-dialog SECONDS", true, WaitDialog},
    {"expect-no-window", 1, 1, "expect-no-window SECONDS", true, ExpectNoWindow},
    {"press", 1, 1, "press CAPTION", true, Press},
    {"wait-exit", 1, 1, "wait-exit SECONDS", true, WaitExitCmd},
    {"wait-file", 2, 2, "wait-file PATH SECONDS", false, WaitFile},
    {"kill", 0, 0, "kill", true, Kill},
    {"hold", 1, 1, "hold PATH", false, Hold},
    {"wait-control", 2, 2, "wait-control ID SECONDS", true, WaitControl},
    {"text", 1, 1, "text ID", true, Text},
    {"wait-text", 3, 3, "wait-text ID TEXT SECONDS", true, WaitText},
    {"wait-page", 2, 2, "wait-page TITLE SECONDS", true, WaitPage},
    {"state", 1, 1, "state ID", true, State},
    {"set-text", 2, 2, "set-text ID TEXT", true, SetText},
    {"click", 1, 1, "click ID", true, ClickControl},
    {"close", 0, 0, "close", true, Close},
    {"screenshot", 1, 1, "screenshot FILE", true, Screenshot},
};

}  // namespace

const std::vector<Command>& AllCommands() { return kCommands; }

const Command* FindCommand(const std::string& name) {
  for (const auto& c : kCommands)
    if (name == c.name) return &c;
  return nullptr;
}

}  // namespace driver
