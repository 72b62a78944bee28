#include "target.h"

#include <ctype.h>

namespace driver {

bool StartTarget(Target& t, const std::string& commandLine) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::string line = commandLine;  // CreateProcessA may write into it
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &t.process))
    return false;
  t.started = true;
  t.exited = false;
  t.current = nullptr;
  return true;
}

bool PollExit(Target& t) { return WaitExit(t, 0); }

bool WaitExit(Target& t, DWORD ms) {
  if (!t.started) return false;
  if (t.exited) return true;
  if (WaitForSingleObject(t.process.hProcess, ms) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(t.process.hProcess, &t.exitCode);
  t.exited = true;
  return true;
}

void KillTarget(Target& t) {
  if (!t.started || PollExit(t)) return;
  TerminateProcess(t.process.hProcess, 1);
  WaitExit(t, 5000);
}

void CloseTarget(Target& t) {
  if (!t.started) return;
  CloseHandle(t.process.hThread);
  CloseHandle(t.process.hProcess);
  t.started = false;
}

namespace {

struct Collect {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND h, LPARAM param) {
  auto* c = reinterpret_cast<Collect*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == c->pid && IsWindowVisible(h)) c->found.push_back(h);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND h, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(h);
  return TRUE;
}

std::string Folded(const std::string& s) {
  std::string out;
  for (char ch : s)
    if (ch != '&') out += static_cast<char>(tolower(static_cast<unsigned char>(ch)));
  return out;
}

}  // namespace

std::vector<HWND> TopLevelWindows(const Target& t) {
  Collect c{t.process.dwProcessId, {}};
  if (t.started) EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&c));
  return c.found;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&all));
  return all;
}

std::string ClassOf(HWND h) {
  char buf[256] = {};
  GetClassNameA(h, buf, sizeof buf);
  return buf;
}

std::string TextOf(HWND h) {
  char buf[8192] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                           SMTO_ABORTIFHUNG, 3000, &copied))
    return {};
  buf[sizeof buf - 1] = 0;
  return buf;
}

int IdOf(HWND h) { return static_cast<int>(GetWindowLongPtrA(h, GWLP_ID)); }

bool SameCaption(const std::string& shown, const std::string& wanted) {
  return Folded(shown) == Folded(wanted);
}

HWND FindButton(HWND window, const std::string& caption) {
  for (HWND h : Descendants(window))
    if (_stricmp(ClassOf(h).c_str(), "Button") == 0 && SameCaption(TextOf(h), caption)) return h;
  return nullptr;
}

HWND FindControl(const Target& t, int id, bool visibleOnly) {
  std::vector<HWND> windows = TopLevelWindows(t);
  if (t.current && IsWindow(t.current) && IsWindowVisible(t.current))
    windows.insert(windows.begin(), t.current);
  HWND hidden = nullptr;
  for (HWND w : windows)
    for (HWND h : Descendants(w)) {
      if (IdOf(h) != id) continue;
      if (IsWindowVisible(h)) return h;
      if (!hidden) hidden = h;
    }
  return visibleOnly ? nullptr : hidden;
}

HWND FindTopLevel(const Target& t, const std::string& cls) {
  for (HWND w : TopLevelWindows(t))
    if (ClassOf(w) == cls) return w;
  return nullptr;
}

std::string MessageTextOf(HWND box) {
  for (HWND h : Descendants(box)) {
    if (_stricmp(ClassOf(h).c_str(), "Static") != 0) continue;
    LONG_PTR style = GetWindowLongPtrA(h, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) continue;
    std::string text = TextOf(h);
    if (!text.empty()) return text;
  }
  return {};
}

}  // namespace driver
