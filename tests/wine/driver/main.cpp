// wrenly-driver: starts a program under test and drives its windows.
//   wrenly-driver start C:\t\setup.exe /B1 ; wait-dialog 10 ; press OK ; wait-exit 15
// Steps are separated by ";" arguments. Exit code: 0 when every step saw what
// it expects, 1 when one did not (the run stops there), 2 for a usage error.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "driver.h"
#include "format/settings.h"

namespace driver {
namespace {
namespace wf = wrenly::format;

constexpr DWORD kPollMs = 50;

// Every wait is stretched by WRENLY_TIME_SCALE (an emulated machine is many
// times slower); a wait ends as soon as it sees what it waits for, so only
// a failure takes longer.
double TimeScale() {
  static const double scale = [] {
    const char* s = getenv("WRENLY_TIME_SCALE");
    return s && atof(s) > 1 ? atof(s) : 1.0;
  }();
  return scale;
}
DWORD Seconds(const std::string& s) { return static_cast<DWORD>(atof(s.c_str()) * 1000.0 * TimeScale()); }
// How long a click waits for the target to have handled it.
const DWORD kClickMs = Seconds("3");
int IdArg(const std::string& s) { return atoi(s.c_str()); }
// Whole and signed, as Windows programs read it: -1, 1602, 3010.
std::string ExitLine(const Target& t) { return "exit " + std::to_string((int)t.exitCode); }
std::string Describe(HWND h) { return "class=" + Quoted(ClassOf(h)) + " caption=" + Quoted(TextOf(h)); }
std::string TextLine(const std::string& id, HWND h) { return "text id=" + id + " " + Quoted(TextOf(h)); }

HWND FirstWindow(const Target& t) {
  auto windows = TopLevelWindows(t);
  return windows.empty() ? nullptr : windows.front();
}
// The window last waited for, else the topmost.
HWND Current(const Target& t) {
  return t.current && IsWindow(t.current) && IsWindowVisible(t.current) ? t.current : FirstWindow(t);
}

// Polls until `find` finds something, the target ends or SECONDS pass.
template <class Find>
auto WaitFor(Target& t, const std::string& seconds, Find find) {
  for (DWORD waited = 0;; waited += kPollMs) {
    if (auto found = find()) return found;
    if (WaitExit(t, 0) || waited >= Seconds(seconds)) return decltype(find()){};
    Sleep(kPollMs);
  }
}

// Replies to clicks arrive through SendMessageCallback; a reply may come
// after its step gave up waiting, so it is matched by number.
ULONG_PTR g_clicksSent, g_clicksReplied;

VOID CALLBACK ClickReplied(HWND, UINT, ULONG_PTR number, LRESULT) {
  if (number > g_clicksReplied) g_clicksReplied = number;
}

// A wait that found nothing: `NO exit N` once the target has ended, else
// `timeout`, what was found instead, and what the target shows (the
// `  shown` lines, which scenarios print but do not compare).
bool Missed(const Target& t, const std::string& no, const std::string& instead = "") {
  if (t.exited) return Fail(no + " " + ExitLine(t));
  Line(instead.empty() ? "timeout" : "timeout " + instead);
  MSG m;
  PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);  // runs the replies that came meanwhile
  Line("  shown clicks sent=" + std::to_string(g_clicksSent) + " answered=" + std::to_string(g_clicksReplied));
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
  return false;
}

// Arguments are joined into the command line as they stand, except that one
// with a space and no quote of its own is quoted; an argument that carries
// quotes (/S"C:\a b\setup.exe") is the caller's exact text.
bool Start(Target& t, const Args& args) {
  std::string line;
  for (const auto& a : args) {
    bool quote = a.find(' ') != std::string::npos && a.find('"') == std::string::npos;
    line += (line.empty() ? "" : " ") + (quote ? "\"" + a + "\"" : a);
  }
  if (t.started && !WaitExit(t, 0)) return Fail("error already-running");
  STARTUPINFOA si{};
  si.cb = sizeof si;
  t = Target{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &t.process))
    return Fail("error start " + Quoted(line) + " code=" + std::to_string(GetLastError()));
  return t.started = true;
}

bool WaitWindow(Target& t, const Args& args) {
  HWND h = WaitFor(t, args[0], [&] { return FirstWindow(t); });
  if (!h) return Missed(t, "no-window");
  t.current = h;
  return Line("window " + Describe(h));
}

bool ExpectNoWindow(Target& t, const Args& args) {
  if (HWND h = WaitFor(t, args[0], [&] { return FirstWindow(t); })) return Fail("window " + Describe(h));
  return t.exited ? Line("no-window") : Fail("timeout");
}

// The message text of a message box: its first static control that is not an icon.
std::string MessageTextOf(HWND box) {
  for (HWND h : Descendants(box)) {
    if (_stricmp(ClassOf(h).c_str(), "Static") != 0) continue;
    if ((GetWindowLongPtrA(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
    std::string text = TextOf(h);
    if (!text.empty()) return text;
  }
  return {};
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
  HWND h = WaitFor(t, args[0], [&]() -> HWND {
    for (HWND w : TopLevelWindows(t))
      if (ClassOf(w) == "#32770" && DialogReady(w)) return w;
    return nullptr;
  });
  if (!h) return Missed(t, "no-dialog");
  t.current = h;
  return Line("dialog caption=" + Quoted(TextOf(h)) + " text=" + Quoted(MessageTextOf(h)));
}

// A caption as a person reads it: '&' mnemonics dropped, case ignored.
bool SameCaption(std::string shown, const std::string& asked) {
  std::erase(shown, '&');
  return _stricmp(shown.c_str(), asked.c_str()) == 0;
}

// A message box answered goes away before the next step looks for
// windows, so a box that follows it is never mistaken for it.
void AwaitAnswered(Target& t, HWND box) {
  if (ClassOf(box) == "#32770" && !(GetWindowLongPtrA(box, GWL_STYLE) & WS_CHILD))
    for (DWORD waited = 0; waited < kClickMs && IsWindow(box) && IsWindowVisible(box); waited += 10) Sleep(10);
  t.current = nullptr;
}

// A click as the button's parent receives it, on the window last waited for
// (else the topmost): works whether or not that window is active, unlike a
// synthesised mouse click.
bool Press(Target& t, const Args& args) {
  HWND w = Current(t);
  for (HWND h : w ? Descendants(w) : std::vector<HWND>{}) {
    if (_stricmp(ClassOf(h).c_str(), "Button") != 0 || !SameCaption(TextOf(h), args[0])) continue;
    PostMessageA(GetParent(h), WM_COMMAND, MAKEWPARAM(IdOf(h), BN_CLICKED), reinterpret_cast<LPARAM>(h));
    AwaitAnswered(t, GetParent(h));
    return Line("pressed " + args[0]);
  }
  return Fail("no-button " + Quoted(args[0]));
}

// Enter on the box last waited for: its own dialog code picks the button,
// the focused one or the default, as for the key.
bool Enter(Target& t, const Args&) {
  HWND box = Current(t);
  if (!box) return Fail("no-window");
  PostMessageA(box, WM_KEYDOWN, VK_RETURN, 1);
  AwaitAnswered(t, box);
  return Line("pressed Enter");
}

// Lets a scenario hold a driver run in the background until the shell has
// done its part.
bool WaitFile(Target& t, const Args& args) {
  auto there = [&] { return GetFileAttributesA(args[0].c_str()) != INVALID_FILE_ATTRIBUTES; };
  return WaitFor(t, args[1], there) ? Line("file " + Quoted(args[0])) : Fail("timeout no-file " + Quoted(args[0]));
}

// The end of the target and of every process descended from it: a copy
// the target started may go on with its work after the target's end.
bool WaitDescendants(Target& t, const Args& args) {
  for (DWORD waited = 0; size_t left = StillRunning(t); waited += kPollMs) {
    if (waited >= Seconds(args[0])) return Fail("timeout running=" + std::to_string(left));
    Sleep(kPollMs);
  }
  return Line("descendants-ended");
}

// Plays another program that has PATH open, as a running program's image
// is: others may only read it. Held until the driver ends.
bool Hold(Target&, const Args& args) {
  HANDLE file = CreateFileA(args[0].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  return file != INVALID_HANDLE_VALUE ? Line("holding " + Quoted(args[0])) : Fail("no-file " + Quoted(args[0]));
}

// Follows a program the target started: the process that shows a visible
// top-level window of class CLASS becomes the target.
bool Adopt(Target& t, const Args& args) {
  DWORD pid = 0;
  for (DWORD waited = 0; !pid && waited <= Seconds(args[1]); waited += kPollMs) {
    HWND w = FindWindowA(args[0].c_str(), nullptr);
    if (w && IsWindowVisible(w)) GetWindowThreadProcessId(w, &pid);
    if (pid == t.process.dwProcessId) pid = 0;
    if (!pid) Sleep(kPollMs);
  }
  HANDLE h = pid ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, pid) : nullptr;
  if (!h) return Fail("no-window class=" + Quoted(args[0]));
  t.process = PROCESS_INFORMATION{h, nullptr, pid, 0};
  t.started = true, t.exited = false, t.current = nullptr;
  return Line("adopted class=" + Quoted(args[0]));
}

// The control for a step that reads it; `no-control id=N` when there is none.
HWND Lookup(Target& t, const std::string& id, bool visibleOnly) {
  HWND h = FindControl(t, IdArg(id), visibleOnly);
  if (!h) Line("no-control id=" + id);
  return h;
}

bool WaitControl(Target& t, const Args& args) {
  HWND h = WaitFor(t, args[1], [&] { return FindControl(t, IdArg(args[0]), true); });
  if (!h) return Missed(t, "no-control");
  t.current = GetAncestor(h, GA_ROOT);
  return Line("control id=" + args[0] + " class=" + Quoted(ClassOf(h)) + " text=" + Quoted(TextOf(h)));
}

bool WaitText(Target& t, const Args& args) {
  HWND last = nullptr;
  HWND h = WaitFor(t, args[2], [&] {
    last = FindControl(t, IdArg(args[0]), false);
    return last && TextOf(last) == args[1] ? last : nullptr;
  });
  if (h) return Line(TextLine(args[0], h));
  return Missed(t, "no-text", last && IsWindow(last) ? TextLine(args[0], last) : "no-control id=" + args[0]);
}

// The wizard's page once it can be used: the header shows its title and
// the page itself is up. The header is drawn before the page is made, so a
// title alone does not say that the page's controls exist.
bool WaitPage(Target& t, const Args& args) {
  HWND title = nullptr;
  HWND page = WaitFor(t, args[1], [&]() -> HWND {
    title = FindControl(t, wf::kIdHeaderTitle, true);
    if (!title || TextOf(title) != args[0]) return nullptr;
    HWND header = GetParent(title), frame = GetParent(header);
    HWND next = FindControl(t, wf::kIdNext, false);
    HWND bar = next ? GetParent(next) : nullptr;
    for (HWND c = GetWindow(frame, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (c != header && c != bar && ClassOf(c) == "#32770" && IsWindowVisible(c) && GetWindow(c, GW_CHILD)) return c;
    return nullptr;
  });
  if (!page) return Missed(t, "no-page", title && IsWindow(title) ? "page " + Quoted(TextOf(title)) : "no-page");
  t.current = GetAncestor(page, GA_ROOT);
  return Line("page " + Quoted(args[0]));
}

bool State(Target& t, const Args& args) {
  HWND h = Lookup(t, args[0], false);
  if (!h) return false;
  // BM_GETCHECK means something only to buttons; other classes may use the
  // same message number for their own purpose.
  LRESULT checked = _stricmp(ClassOf(h).c_str(), "Button") == 0 ? SendMessageA(h, BM_GETCHECK, 0, 0) : 0;
  return Line("state id=" + args[0] + " visible=" + std::to_string(IsWindowVisible(h) ? 1 : 0) +
              " enabled=" + std::to_string(IsWindowEnabled(h) ? 1 : 0) + " checked=" + std::to_string(checked));
}

bool SetText(Target& t, const Args& args) {
  HWND h = Lookup(t, args[0], true);
  if (!h) return false;
  // Carried across processes like WM_GETTEXT; the edit control itself then
  // tells its parent (EN_CHANGE), as for typing.
  DWORD_PTR result = 0;
  SendMessageTimeoutA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[1].c_str()), SMTO_ABORTIFHUNG, 3000, &result);
  std::string now = TextOf(h);
  Line("set-text id=" + args[0] + " " + Quoted(now));
  return now == args[1];
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

// BM_CLICK goes through the button's own code, so an auto check box or
// radio button changes state before its parent hears BN_CLICKED, as with a
// mouse click. The step waits for the target to have handled it, but not
// past a window the click opens (a message box would hold the reply until
// it is answered), nor past the target's end or kClickMs. Clicks sent back
// to back reach the target before it has handled the first, as a quick
// double click does.
ULONG_PTR SendClicks(HWND h, int times) {
  ULONG_PTR number = 0;
  for (int i = 0; i < times; ++i)
    if (!SendMessageCallbackA(h, BM_CLICK, 0, 0, ClickReplied, number = ++g_clicksSent)) return 0;
  return number;
}

bool AwaitClicks(Target& t, const std::vector<HWND>& before, ULONG_PTR number, const std::string& id, int times) {
  if (!number) return Fail("error click id=" + id + " code=" + std::to_string(GetLastError()));
  for (DWORD waited = 0; waited < kClickMs; waited += 10) {
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);  // runs the reply callback
    auto opened = [&](HWND w) { return std::find(before.begin(), before.end(), w) == before.end(); };
    if (g_clicksReplied >= number || WaitExit(t, 0) || std::ranges::any_of(TopLevelWindows(t), opened)) break;
    Sleep(10);
  }
  for (int i = 0; i < times; ++i) Line("clicked id=" + id);
  return true;
}

bool Click(Target& t, const std::string& id, int times) {
  HWND h = Lookup(t, id, true);
  if (!h) return false;
  if (!Clickable(h)) return Fail("disabled id=" + id);
  std::vector<HWND> before = TopLevelWindows(t);
  return AwaitClicks(t, before, SendClicks(h, times), id, times);
}

// Clicks BUTTON while PATH exists and the button can be clicked, with the
// target held still from the look to the click: on a slow machine, the work
// that keeps the file there (a long file being installed under a temporary
// name) could otherwise end before the click arrives.
bool ClickWhileFile(Target& t, const Args& args) {
  std::vector<HWND> before;
  ULONG_PTR number = 0;
  bool sent = WaitFor(t, args[2], [&] {
    HoldStill(t, true);
    HWND button = FindControl(t, IdArg(args[0]), true);
    if (button && Clickable(button) && GetFileAttributesA(args[1].c_str()) != INVALID_FILE_ATTRIBUTES) {
      before = TopLevelWindows(t);
      number = SendClicks(button, 1);
    }
    HoldStill(t, false);
    return number != 0;
  });
  if (!sent) return Missed(t, "no-file " + Quoted(args[1]));
  Line("file " + Quoted(args[1]));
  return AwaitClicks(t, before, number, args[0], 1);
}

// A string of a program's version resource, read the way Explorer reads it.
bool VersionText(Target&, const Args& args) {
  DWORD ignored = 0, size = GetFileVersionInfoSizeA(args[0].c_str(), &ignored);
  std::vector<char> data(size + 1);
  char* value = nullptr;
  UINT length = 0;
  std::string query = "\\StringFileInfo\\040904B0\\" + args[1];
  if (!size || !GetFileVersionInfoA(args[0].c_str(), 0, size, data.data()) ||
      !VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
    return Fail("no-version " + args[1]);
  return Line("version " + args[1] + "=" + Quoted(value));
}

bool Close(Target& t, const Args&) {
  for (HWND w : TopLevelWindows(t)) {
    if (ClassOf(w) != "WrenlyClass") continue;
    PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);  // what the close box and Alt+F4 send
    t.current = nullptr;
    return Line("closed class=\"WrenlyClass\"");
  }
  return Fail("no-window class=\"WrenlyClass\"");
}

// A step's usage gives its name and how many arguments it takes ("..." for
// any number more), so a new step is one row.
struct Step {
  const char* usage;
  bool (*run)(Target&, const Args&);
};

const Step kSteps[] = {
    {"probe", [](Target&, const Args&) { return Line("driver bits=" + std::to_string(sizeof(void*) * 8)); }},
    {"start PROGRAM [ARGUMENT]...", Start},
    {"wait-window SECONDS", WaitWindow},
    {"wait-dialog SECONDS", WaitDialog},
    {"expect-no-window SECONDS", ExpectNoWindow},
    {"press CAPTION", Press},
    {"enter", Enter},
    {"wait-exit SECONDS",
     [](Target& t, const Args& a) { return WaitExit(t, Seconds(a[0])) ? Line(ExitLine(t)) : Fail("timeout"); }},
    {"wait-file PATH SECONDS", WaitFile},
    {"wait-descendants SECONDS", WaitDescendants},
    {"kill", [](Target& t, const Args&) { return KillTarget(t), Line("killed"); }},
    {"save-registry PATH", SaveRegistry},
    {"adopt CLASS SECONDS", Adopt},
    {"hold PATH", Hold},
    {"wait-control ID SECONDS", WaitControl},
    {"text ID",
     [](Target& t, const Args& a) {
       HWND h = Lookup(t, a[0], false);
       return h && Line(TextLine(a[0], h));
     }},
    {"wait-text ID TEXT SECONDS", WaitText},
    {"wait-page TITLE SECONDS", WaitPage},
    {"state ID", State},
    {"set-text ID TEXT", SetText},
    {"click ID", [](Target& t, const Args& a) { return Click(t, a[0], 1); }},
    {"click-twice ID", [](Target& t, const Args& a) { return Click(t, a[0], 2); }},
    {"click-while-file BUTTON PATH SECONDS", ClickWhileFile},
    {"close", Close},
    {"screenshot FILE", Screenshot},
    {"version-text PROGRAM NAME", VersionText},
};

const Step* Find(const Args& words) {
  for (const Step& s : kSteps) {
    std::string usage = s.usage;
    size_t n = std::count(usage.begin(), usage.end(), ' ');
    bool more = usage.ends_with("...");
    if (usage.substr(0, usage.find(' ')) == words[0] && (words.size() == n + 1 || (more && words.size() >= n)))
      return &s;
  }
  return nullptr;
}

int Usage(const std::string& words) {
  fprintf(stderr, "wrenly-driver: no step '%s'\nusage: wrenly-driver STEP [; STEP]...\n", words.c_str());
  for (const Step& s : kSteps) fprintf(stderr, "  %s\n", s.usage);
  return 2;
}

}  // namespace
}  // namespace driver

int main(int argc, char** argv) {
  using namespace driver;
  std::vector<std::pair<const Step*, Args>> steps;
  Args words;
  for (int i = 1; i <= argc; ++i) {
    if (i < argc && strcmp(argv[i], ";") != 0) {
      words.push_back(argv[i]);
    } else if (!words.empty()) {
      const Step* s = Find(words);
      if (!s) return Usage(words[0] + " with " + std::to_string(words.size() - 1) + " arguments");
      steps.push_back({s, Args(words.begin() + 1, words.end())});
      words.clear();
    }
  }
  if (steps.empty()) return Usage("");
  Target target;
  bool ok = true;
  for (const auto& [step, args] : steps)
    if (!(ok = step->run(target, args))) break;
  // A scenario ends with the target's exit; one still running is a fault.
  if (target.started && !WaitExit(target, 0)) {
    KillTarget(target);
    ok = Fail("killed");
  }
  return ok ? 0 : 1;
}
