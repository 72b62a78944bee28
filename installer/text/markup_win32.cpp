#include "text/markup_win32.h"

#include <richedit.h>
#include <string.h>

#include "platform/files.h"
#include "text/link_store.h"
#include "text/markup.h"

static_assert(kFormatBold == CFM_BOLD && kFormatItalic == CFM_ITALIC && kFormatUnderline == CFM_UNDERLINE &&
              kFormatStrikeOut == CFM_STRIKEOUT && kFormatLink == CFM_LINK && kFormatSize == CFM_SIZE &&
              kFormatColor == CFM_COLOR);
static_assert(sizeof(CHARFORMATA) == 60);

namespace {

bool IsRichEdit(HWND window) {
  char name[20] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpiA(name, "RichEdit20A") == 0 || lstrcmpiA(name, "RICHEDIT") == 0;
}

void ApplyFormat(HWND window, uint32_t start, uint32_t end, const MarkupFormat& f) {
  CHARRANGE range{LONG(start), LONG(end)};
  SendMessageA(window, EM_EXSETSEL, 0, LPARAM(&range));
  CHARFORMATA cf;
  memset(&cf, 0, sizeof cf);
  cf.cbSize = sizeof cf;
  cf.dwMask = f.mask;
  cf.dwEffects = f.effects;
  cf.crTextColor = f.color;
  cf.yHeight = f.heightTwips;
  SendMessageA(window, EM_SETCHARFORMAT, SCF_SELECTION, LPARAM(&cf));
}

}  // namespace

void SetMarkupTextWithDefault(HWND window, const char* text, int32_t defaultColor) {
  if (!window) return;
  if (!text) text = "";
  uint32_t size = uint32_t(strlen(text)) + 1;  // the tag-free text is never longer
  char* plain = nullptr;
  if (!AllocBuffer(size, &plain)) return;
  static Markup markup;  // one GUI thread; too large for a comfortable stack frame
  ConvertMarkup(text, plain, size, &markup);
  SetWindowTextA(window, plain);
  FreeBuffer(&plain);
  if (!IsRichEdit(window)) return;
  // A new text always replaces the old targets, so no stale one answers a
  // click; links the full store cannot take open their own visible text.
  StoreLinkTargets(window, markup.links, markup.linkCount);
  if (!markup.runCount && defaultColor == kNoDefaultColor) return;

  // Selecting ranges would otherwise reach the label's selection handler.
  LRESULT mask = SendMessageA(window, EM_GETEVENTMASK, 0, 0);
  if (mask & ENM_SELCHANGE) SendMessageA(window, EM_SETEVENTMASK, 0, mask & ~LRESULT(ENM_SELCHANGE));
  if (defaultColor != kNoDefaultColor) ApplyFormat(window, 0, 0x7FFFFFFF, {kFormatColor, 0, uint32_t(defaultColor), 0});
  for (uint32_t i = 0; i < markup.runCount; ++i)
    ApplyFormat(window, markup.runs[i].start, markup.runs[i].end, RunFormat(markup.runs[i]));
  if (mask & ENM_SELCHANGE) SendMessageA(window, EM_SETEVENTMASK, 0, mask);
  SendMessageA(window, EM_SETSEL, WPARAM(-1), 0);
}
