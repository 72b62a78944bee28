// The closing page's layout: one rich-text control filling the page.
#include "base/package_model.h"
#include "format/bytes.h"
#include "format/settings.h"

namespace wf = wrenly::format;
namespace pl = wf::page_layout;
namespace cr = wf::control_record;

namespace {
uint8_t closingLayout[pl::kSize + cr::kSize];
bool closingLayoutBuilt;
}  // namespace

const uint8_t* BuiltInClosingLayout() {
  if (closingLayoutBuilt) return closingLayout;
  uint8_t* l = closingLayout;
  const uint32_t white = 0x00FFFFFF;
  wf::StoreU32(l + pl::kFlags, 0);
  wf::StoreU32(l + pl::kPageColour, white);
  wf::StoreU32(l + pl::kTextColour, 0);
  wf::StoreU32(l + pl::kEditColour, white);
  wf::StoreU32(l + pl::kSideWidth, 0);
  wf::StoreU32(l + pl::kSideColour, wf::kSystemColour);
  wf::StoreU32(l + pl::kSideBitmap, 0);
  wf::StoreU32(l + pl::kHeaderHeight, 0);
  wf::StoreU32(l + pl::kHeaderColour, wf::kSystemColour);
  wf::StoreU32(l + pl::kHeaderTextColour, wf::kSystemColour);
  wf::StoreU32(l + pl::kHeaderBitmap, 0);
  wf::StoreU16(l + pl::kBodyCount, 1);
  wf::StoreU16(l + pl::kHeaderCount, 0);
  wf::StoreU32(l + pl::kBodyRecords, pl::kSize);
  wf::StoreU32(l + pl::kHeaderRecords, 0);
  uint8_t* c = l + pl::kSize;
  wf::StoreU16(c + cr::kClass, wf::kClassRichEdit);
  wf::StoreU16(c + cr::kId, wf::kIdClosingText);
  // WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY
  wf::StoreU32(c + cr::kStyle, 0x50000844);
  wf::StoreU32(c + cr::kExStyle, 0);
  wf::StoreU32(c + cr::kOptions, 0);
  wf::StoreU32(c + cr::kLeft, 8);
  wf::StoreU32(c + cr::kTop, 8);
  wf::StoreU32(c + cr::kRight, (uint32_t)cr::kSpecialSize);
  wf::StoreU32(c + cr::kBottom, (uint32_t)cr::kSpecialSize);
  closingLayoutBuilt = true;
  return closingLayout;
}
