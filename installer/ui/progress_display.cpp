// What the installation shows on the ProgressPage: percentage, bar and the
// file being installed. Updates after the page has gone change nothing.
#include <windows.h>
#include <commctrl.h>
#include <string.h>

#include "format/settings.h"
#include "install/install_run.h"
#include "platform/files.h"
#include "startup/run_state.h"
#include "ui/shorten_path.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {
HWND progressPage;
HWND progressBar;
uint32_t lastPercent;
constexpr uint32_t kShownPathLength = 30;
}  // namespace

void BindProgressDisplay(HWND page) {
  progressPage = page;
  progressBar = GetDlgItem(page, wf::kIdProgressBar);
  SendMessageA(progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
}

void ShowProgressPercent(int percent) {
  uint32_t value = (uint32_t)percent > 100 ? 100 : (uint32_t)percent;
  lastPercent = value;
  if (progressPage && IsWindow(progressPage)) {
    char text[8];
    wsprintfA(text, "%d%%", (int)value);
    SetDlgItemTextA(progressPage, wf::kIdPercent, text);
  }
  if (progressBar && IsWindow(progressBar)) SendMessageA(progressBar, PBM_SETPOS, value, 0);
}

void ShowCurrentFile(const char* path) {
  if (!progressPage || !IsWindow(progressPage)) return;
  char* shown = nullptr;
  if (!AllocBuffer(kPathSize, &shown)) return;
  lstrcpynA(shown, path, kPathSize);
  ShortenPath(shown, kShownPathLength);
  SetDlgItemTextA(progressPage, wf::kIdCurrentFile, shown);
  FreeBuffer(&shown);
}
