#include <windows.h>

#include "format/install_type.h"
#include "text/messages.h"
#include "ui/show_message.h"

namespace wf = wrenly::format;

// Owned by no window until the wizard frame exists to own the boxes.
int ShowMessage(const char* text, unsigned style) {
  return MessageBoxA(nullptr, text, GetMessageText(wf::msg::kListMessages, wf::msg::kCaption), style);
}
