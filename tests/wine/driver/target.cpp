#include <stdio.h>

#include "driver.h"
// After windows.h.
#include <tlhelp32.h>

#include <algorithm>

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
  std::vector<DWORD> pids;  // empty: every window enumerated
  std::vector<HWND> found;
};

BOOL CALLBACK Add(HWND h, LPARAM param) {
  auto* c = reinterpret_cast<Collect*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (c->pids.empty() || (std::ranges::count(c->pids, pid) && IsWindowVisible(h))) c->found.push_back(h);
  return TRUE;
}

// The target and the processes it started, and theirs: a program may hand
// its windows to a copy of itself while it waits. A parent that has ended
// still names its children, so the family outlives it.
std::vector<DWORD> Family(DWORD root) {
  std::vector<DWORD> pids{root};
  std::vector<PROCESSENTRY32> all;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 e{};
  e.dwSize = sizeof e;
  for (BOOL more = Process32First(snap, &e); snap != INVALID_HANDLE_VALUE && more; more = Process32Next(snap, &e))
    all.push_back(e);
  if (snap != INVALID_HANDLE_VALUE) CloseHandle(snap);
  for (size_t grown = 1; grown;) {
    grown = 0;
    for (const auto& p : all)
      if (std::ranges::count(pids, p.th32ParentProcessID) && !std::ranges::count(pids, p.th32ProcessID))
        pids.push_back(p.th32ProcessID), ++grown;
  }
  return pids;
}

}  // namespace

std::vector<HWND> TopLevelWindows(const Target& t) {
  if (!t.started) return {};
  Collect c{Family(t.process.dwProcessId), {}};
  EnumWindows(Add, reinterpret_cast<LPARAM>(&c));
  return c.found;
}

size_t StillRunning(Target& t) {
  if (!t.started) return 0;
  return Family(t.process.dwProcessId).size() - (WaitExit(t, 0) ? 1 : 0);
}

std::vector<HWND> Descendants(HWND parent) {
  Collect c{{}, {}};
  EnumChildWindows(parent, Add, reinterpret_cast<LPARAM>(&c));
  return c.found;
}

std::string ClassOf(HWND h) {
  char buf[256] = {};
  GetClassNameA(h, buf, sizeof buf);
  return buf;
}

// The control's own answer where it gives one in time. A program busy with
// its start (an emulated machine under load takes seconds) cannot answer:
// the text the window was made or last set with, which the system keeps,
// is what a caption shows anyway.
std::string TextOf(HWND h) {
  char buf[8192] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 3000, &copied))
    GetWindowTextA(h, buf, sizeof buf);
  buf[sizeof buf - 1] = 0;
  return buf;
}

void HoldStill(const Target& t, bool still) {
  if (!t.started || t.exited) return;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snap == INVALID_HANDLE_VALUE) return;
  THREADENTRY32 e{};
  e.dwSize = sizeof e;
  for (BOOL more = Thread32First(snap, &e); more; more = Thread32Next(snap, &e)) {
    if (e.th32OwnerProcessID != t.process.dwProcessId) continue;
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, e.th32ThreadID);
    if (!thread) continue;
    if (still) {
      SuspendThread(thread);
      CONTEXT c{};
      c.ContextFlags = CONTEXT_CONTROL;
      GetThreadContext(thread, &c);  // returns once the thread stands
    } else {
      ResumeThread(thread);
    }
    CloseHandle(thread);
  }
  CloseHandle(snap);
}

int IdOf(HWND h) { return static_cast<int>(GetWindowLongPtrA(h, GWLP_ID)); }

HWND FindControl(const Target& t, int id, bool visibleOnly) {
  std::vector<HWND> windows = TopLevelWindows(t);
  if (t.current && IsWindow(t.current) && IsWindowVisible(t.current)) windows.insert(windows.begin(), t.current);
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
