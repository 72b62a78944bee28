// What the installation shows on the ProgressPage: percentage, bar and the
// file being installed. Updates after the page has gone change nothing.
#include <windows.h>

#include <commctrl.h>
#include <string.h>

#include "base/setup.h"
#include "format/settings.h"
#include "install/install_run.h"
#include "platform/files.h"
#include "ui/shorten_path.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {
constexpr uint32_t kShownPathLength = 30;
}  // namespace

void BindProgressDisplay(Setup& setup, HWND page) {
  setup.wizard->progressPage = page;
  setup.wizard->progressBar = GetDlgItem(page, wf::kIdProgressBar);
  SendMessageA(setup.wizard->progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
}

void ShowProgressPercent(Setup& setup, int percent) {
  uint32_t value = (uint32_t)percent > 100 ? 100 : (uint32_t)percent;
  if (setup.wizard->progressPage && IsWindow(setup.wizard->progressPage)) {
    char text[8];
    wsprintfA(text, "%d%%", (int)value);
    SetDlgItemTextA(setup.wizard->progressPage, wf::kIdPercent, text);
  }
  if (setup.wizard->progressBar && IsWindow(setup.wizard->progressBar))
    SendMessageA(setup.wizard->progressBar, PBM_SETPOS, value, 0);
}

void ShowCurrentFile(Setup& setup, const char* path) {
  if (!setup.wizard->progressPage || !IsWindow(setup.wizard->progressPage)) return;
  char* shown = nullptr;
  if (!AllocBuffer(kPathSize, &shown)) return;
  lstrcpynA(shown, path, kPathSize);
  ShortenPath(shown, kShownPathLength);
  SetDlgItemTextA(setup.wizard->progressPage, wf::kIdCurrentFile, shown);
  FreeBuffer(&shown);
}
