#include <stdio.h>

#include "driver.h"

namespace driver {

bool WaitExit(Target& t, DWORD ms) {
  if (!t.started) return false;
  if (t.exited) return true;
  if (WaitForSingleObject(t.process.hProcess, ms) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(t.process.hProcess, &t.exitCode);
  return t.exited = true;
}

void KillTarget(Target& t) {
  if (!t.started || WaitExit(t, 0)) return;
  TerminateProcess(t.process.hProcess, 1);
  WaitExit(t, 5000);
}

namespace {

struct Collect {
  DWORD pid;  // 0: every window enumerated
  std::vector<HWND> found;
};

BOOL CALLBACK Add(HWND h, LPARAM param) {
  auto* c = reinterpret_cast<Collect*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (!c->pid || (pid == c->pid && IsWindowVisible(h))) c->found.push_back(h);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(const Target& t) {
  Collect c{t.process.dwProcessId, {}};
  if (t.started) EnumWindows(Add, reinterpret_cast<LPARAM>(&c));
  return c.found;
}

std::vector<HWND> Descendants(HWND parent) {
  Collect c{0, {}};
  EnumChildWindows(parent, Add, reinterpret_cast<LPARAM>(&c));
  return c.found;
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

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    char ch = text[i];
    if (ch == '\r' && text[i + 1] == '\n') continue;  // text[size()] is the terminator
    out += ch == '\r' || ch == '\n' ? "\\n" : ch == '"' ? "\\\"" : std::string(1, ch);
  }
  return out + "\"";
}

bool Line(const std::string& line) {
  printf("%s\n", line.c_str());
  fflush(stdout);
  return true;
}

bool Fail(const std::string& line) { return !Line(line); }

}  // namespace driver
