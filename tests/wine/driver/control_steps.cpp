// Steps on controls by id, found among all of the target's visible top-level
// windows: the wizard's page, panels and button bar are child dialogs of a
// frame that is itself a popup or a child of the main window.
#include <stdlib.h>

#include "format/settings.h"
#include "report.h"
#include "steps.h"

namespace driver {
namespace wf = wrenly::format;
namespace {

// How long a click waits for the target to have handled it.
constexpr DWORD kClickMs = 3000;

int IdArg(const std::string& s) { return atoi(s.c_str()); }

std::string TextLine(int id, HWND h) {
  return "text id=" + std::to_string(id) + " " + Quoted(TextOf(h));
}

// The control for a step that reads it; reports `no-control id=N` when there is none.
HWND Lookup(Target& t, int id, bool visibleOnly) {
  HWND h = FindControl(t, id, visibleOnly);
  if (!h) Line("no-control id=" + std::to_string(id));
  return h;
}

// What a person could click: the control and every window above it enabled
// (a modal message box disables its owner, and so the owner's buttons).
bool Clickable(HWND h) {
  for (; h; h = GetAncestor(h, GA_PARENT)) {
    if (!IsWindowEnabled(h)) return false;
    if (!(GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD)) break;
  }
  return true;
}

bool NewTopLevel(const Target& t, const std::vector<HWND>& before) {
  for (HWND w : TopLevelWindows(t)) {
    bool known = false;
    for (HWND b : before) known = known || b == w;
    if (!known) return true;
  }
  return false;
}

// Replies to clicks arrive through SendMessageCallback; a reply may come
// after its step gave up waiting, so it is matched by number.
ULONG_PTR g_clicksSent;
ULONG_PTR g_clicksReplied;

VOID CALLBACK ClickReplied(HWND, UINT, ULONG_PTR number, LRESULT) {
  if (number > g_clicksReplied) g_clicksReplied = number;
}

// Waits for the target to handle a sent click, but not past a window the
// click opens (a message box would hold the reply until it is answered),
// nor past the target's end or kClickMs.
void AwaitClick(Target& t, ULONG_PTR number, const std::vector<HWND>& before) {
  for (DWORD waited = 0; waited < kClickMs; waited += 10) {
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);  // runs the reply callback
    if (g_clicksReplied >= number || PollExit(t) || NewTopLevel(t, before)) return;
    Sleep(10);
  }
}

}  // namespace

std::string ClickCounts() {
  MSG m;
  PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);  // replies that came meanwhile
  return "clicks sent=" + std::to_string(g_clicksSent) + " answered=" + std::to_string(g_clicksReplied);
}

bool WaitControl(Target& t, const Args& args) {
  int id = IdArg(args[0]);
  HWND h = WaitFor(t, Seconds(args[1]), [&] { return FindControl(t, id, true); });
  if (!h) return WaitFailed(t, "no-control");
  t.current = GetAncestor(h, GA_ROOT);
  Line("control id=" + args[0] + " class=" + Quoted(ClassOf(h)) + " text=" + Quoted(TextOf(h)));
  return true;
}

bool Text(Target& t, const Args& args) {
  int id = IdArg(args[0]);
  HWND h = Lookup(t, id, false);
  if (!h) return false;
  Line(TextLine(id, h));
  return true;
}

bool WaitText(Target& t, const Args& args) {
  int id = IdArg(args[0]);
  HWND last = nullptr;
  HWND h = WaitFor(t, Seconds(args[2]), [&]() -> HWND {
    last = FindControl(t, id, false);
    return last && TextOf(last) == args[1] ? last : nullptr;
  });
  if (h) {
    Line(TextLine(id, h));
    return true;
  }
  if (t.exited)
    Line("no-text " + ExitLine(t));
  else if (last && IsWindow(last))
    Line("timeout " + TextLine(id, last));
  else
    Line("timeout no-control id=" + args[0]);
  if (!t.exited) ReportShown(t);
  return false;
}

// The wizard's page once it can be used: the header shows its title and
// the page itself is up. The header is drawn before the page is made, so a
// title alone does not say that the page's controls exist.
bool WaitPage(Target& t, const Args& args) {
  HWND title = nullptr;
  HWND page = WaitFor(t, Seconds(args[1]), [&]() -> HWND {
    title = FindControl(t, wf::kIdHeaderTitle, true);
    if (!title || TextOf(title) != args[0]) return nullptr;
    HWND header = GetParent(title), frame = GetParent(header);
    HWND next = FindControl(t, wf::kIdNext, false);
    HWND bar = next ? GetParent(next) : nullptr;
    for (HWND c = GetWindow(frame, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (c != header && c != bar && ClassOf(c) == "#32770" && IsWindowVisible(c) && GetWindow(c, GW_CHILD))
        return c;
    return nullptr;
  });
  if (page) {
    t.current = GetAncestor(page, GA_ROOT);
    Line("page " + Quoted(args[0]));
    return true;
  }
  if (t.exited)
    Line("no-page " + ExitLine(t));
  else if (title && IsWindow(title))
    Line("timeout page " + Quoted(TextOf(title)));
  else
    Line("timeout no-page");
  if (!t.exited) ReportShown(t);
  return false;
}

bool State(Target& t, const Args& args) {
  HWND h = Lookup(t, IdArg(args[0]), false);
  if (!h) return false;
  // BM_GETCHECK means something only to buttons; other classes may use the
  // same message number for their own purpose.
  LRESULT checked = 0;
  if (_stricmp(ClassOf(h).c_str(), "Button") == 0) checked = SendMessageA(h, BM_GETCHECK, 0, 0);
  Line("state id=" + args[0] + " visible=" + std::to_string(IsWindowVisible(h) ? 1 : 0) +
       " enabled=" + std::to_string(IsWindowEnabled(h) ? 1 : 0) +
       " checked=" + std::to_string(checked));
  return true;
}

bool SetText(Target& t, const Args& args) {
  HWND h = Lookup(t, IdArg(args[0]), true);
  if (!h) return false;
  // WM_SETTEXT is carried across processes like WM_GETTEXT; the edit
  // control itself then tells its parent (EN_CHANGE), as for typing.
  DWORD_PTR result = 0;
  SendMessageTimeoutA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[1].c_str()),
                      SMTO_ABORTIFHUNG, 3000, &result);
  std::string now = TextOf(h);
  Line("set-text id=" + args[0] + " " + Quoted(now));
  return now == args[1];
}

// BM_CLICK goes through the button's own code, so an auto check box or
// radio button changes state before its parent hears BN_CLICKED, as with a
// mouse click. A control a person could not click is refused instead.
bool ClickControl(Target& t, const Args& args) {
  HWND h = Lookup(t, IdArg(args[0]), true);
  if (!h) return false;
  if (!Clickable(h)) {
    Line("disabled id=" + args[0]);
    return false;
  }
  std::vector<HWND> before = TopLevelWindows(t);
  ULONG_PTR number = ++g_clicksSent;
  if (!SendMessageCallbackA(h, BM_CLICK, 0, 0, ClickReplied, number)) {
    Line("error click id=" + args[0] + " code=" + std::to_string(GetLastError()));
    return false;
  }
  AwaitClick(t, number, before);
  Line("clicked id=" + args[0]);
  return true;
}

bool Close(Target& t, const Args&) {
  HWND w = FindTopLevel(t, "WrenlyClass");
  if (!w) {
    Line("no-window class=\"WrenlyClass\"");
    return false;
  }
  // What the close box and Alt+F4 send.
  PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  t.current = nullptr;
  Line("closed class=\"WrenlyClass\"");
  return true;
}

}  // namespace driver
