// SetMarkupText: the page's default text colour applies to its rich text.
#include "base/setup.h"
#include "format/settings.h"
#include "text/markup_win32.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

void SetMarkupText(Setup& setup, HWND window, const char* text) {
  if (!window) return;
  int32_t colour = kNoDefaultColor;
  LayoutView l;
  if (CurrentLayout(setup, &l)) {
    HWND parent = GetParent(window);
    if (parent && parent == setup.wizard->headerPanel) colour = (int32_t)l.headerTextColour;
    else if (parent && parent == setup.wizard->currentPage) colour = (int32_t)l.textColour;
  }
  if ((uint32_t)colour == wf::kSystemColour) colour = kNoDefaultColor;
  SetMarkupTextWithDefault(window, text, colour);
}
