// Rich-text controls that behave as labels, and their clickable links.
#include <windows.h>

#include <richedit.h>
#include <string.h>

#include "base/setup.h"
#include "platform/files.h"
#include "system/open_document.h"
#include "text/link_extension.h"
#include "text/link_store.h"
#include "text/path_variables.h"
#include "ui/wizard.h"

namespace {

constexpr uint32_t kLinkBufferSize = 500;

bool IsRichEditClass(HWND window, char* buffer) {
  GetClassNameA(window, buffer, 300);
  buffer[8] = 0;
  return lstrcmpiA(buffer, "RichEdit") == 0;
}

void OpenLink(Setup& setup, HWND sender, const ENLINK& link, char* buffer) {
  if (const char* target = FindLinkTarget(sender, (uint32_t)link.chrg.cpMin)) {
    ExpandPathVariables(setup, buffer, target, kLinkBufferSize);
  } else {
    // An address the control found by itself: its own text, cut to the buffer.
    LONG last = link.chrg.cpMax;
    if (last - link.chrg.cpMin > (LONG)kLinkBufferSize - 1) last = link.chrg.cpMin + kLinkBufferSize - 1;
    TEXTRANGEA range{{link.chrg.cpMin, last}, buffer};
    if (SendMessageA(sender, EM_GETTEXTRANGE, 0, (LPARAM)&range) <= 0) return;
  }
  if (*buffer) OpenDocument(buffer, LinkExtension(buffer));
}

}  // namespace

LRESULT CALLBACK RichEditSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto previous = (WNDPROC)GetWindowLongPtrA(window, GWLP_USERDATA);
  if (!previous) return 0;
  if (message == WM_SETFOCUS && (SendMessageA(window, EM_GETEVENTMASK, 0, 0) & ENM_SELCHANGE)) return 0;
  if ((message == WM_PAINT || message == WM_ERASEBKGND) && !IsWindowEnabled(window)) {
    // Drawn as an enabled control: a disabled label must not look greyed.
    EnableWindow(window, TRUE);
    LRESULT r = CallWindowProcA(previous, window, message, wParam, lParam);
    EnableWindow(window, FALSE);
    if (message == WM_PAINT) ValidateRect(window, nullptr);
    return r;
  }
  return CallWindowProcA(previous, window, message, wParam, lParam);
}

INT_PTR HandleLinkNotify(Setup& setup, HWND, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_NOTIFY) return 0;
  const NMHDR* header = (const NMHDR*)lParam;
  if (!header || !header->hwndFrom || (header->code != EN_SELCHANGE && header->code != EN_LINK)) return 0;
  char* buffer = nullptr;
  if (!AllocZeroed(kLinkBufferSize, &buffer)) return 0;
  HWND sender = header->hwndFrom;
  if (IsRichEditClass(sender, buffer)) {
    memset(buffer, 0, kLinkBufferSize);
    if (header->code == EN_SELCHANGE) {
      SendMessageA(sender, EM_SETSEL, (WPARAM)-1, 0);
      SendMessageA(sender, EM_HIDESELECTION, TRUE, 0);
    } else if (((const ENLINK*)lParam)->msg == WM_LBUTTONUP) {
      OpenLink(setup, sender, *(const ENLINK*)lParam, buffer);
    }
  }
  FreeBuffer(&buffer);
  return 0;
}
