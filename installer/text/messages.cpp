#include "text/messages.h"

#include "base/package_model.h"
#include "base/setup.h"
#include "format/message_list.h"

namespace wf = wrenly::format;

namespace {
const char kEmptyText[1] = {0};
}

const char* GetMessageText(Setup& setup, int list, uint16_t item) {
  if (list < 0 || list >= (int)wf::install_type::kMessageListCount) return kEmptyText;
  const InstallTypeSlot* type = setup.package.currentType;
  if (!type || !type->lists[list]) return kEmptyText;
  // Lists were validated against their record when it was loaded.
  const char* text = wf::FindMessageItem(type->lists[list], item);
  return text ? text : kEmptyText;
}
