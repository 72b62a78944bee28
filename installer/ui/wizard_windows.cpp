// The wizard's windows and its reading of SetupSettings and PageLayouts.
#include "base/package_model.h"
#include "base/setup.h"
#include "format/bytes.h"
#include "format/settings.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;
namespace ss = wf::setup_settings;
namespace pl = wf::page_layout;

Setup* SetupOf(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
  return (Setup*)GetWindowLongPtrA(window, GWLP_USERDATA);
}

// Read again only when another settings block was loaded.
const WizardSettings& Settings(Setup& setup) {
  WizardSettings& s = setup.wizard->settings;
  if (setup.wizard->settingsReadFrom == setup.package.settings && setup.package.settings) return s;
  s = WizardSettings{};
  s.buttonBarColour = wf::kSystemColour;
  setup.wizard->settingsReadFrom = setup.package.settings;
  wf::ByteView v{setup.package.settings, setup.package.settings ? setup.package.settingsSize : 0};
  if (!v.Has(0, ss::kFixedSize)) return s;
  const uint8_t* p = v.data;
  s.flags = wf::LoadU32(p + ss::kFlags);
  s.topColour = wf::LoadU32(p + ss::kTopColour);
  s.bottomColour = wf::LoadU32(p + ss::kBottomColour);
  s.width = (int32_t)wf::LoadU32(p + ss::kWizardWidth);
  s.height = (int32_t)wf::LoadU32(p + ss::kWizardHeight);
  s.options = wf::LoadU32(p + ss::kOptions);
  s.dialogFont = p + ss::kDialogFont;
  s.buttonBarColour = wf::LoadU32(p + ss::kButtonBarColour);
  s.buttonBarHeight = (int32_t)wf::LoadU32(p + ss::kButtonBarHeight);
  // The loader checked that count and records lie inside the block.
  int32_t count = (int32_t)wf::LoadU32(p + ss::kButtonCount);
  uint32_t offset = wf::LoadU32(p + ss::kButtonRecords);
  if (count > 0 && v.Has(offset, (uint32_t)count * wf::control_record::kSize)) {
    s.buttonCount = count;
    s.buttonRecords = p + offset;
  }
  return s;
}

bool BackgroundMode(Setup& setup) { return (Settings(setup).flags & wf::kSetBackgroundMode) != 0; }

bool ReadLayout(Setup& setup, int kind, LayoutView* out) {
  if (kind < 0 || kind >= (int)kLayoutSlots || !setup.package.layouts[kind]) return false;
  const uint8_t* l = setup.package.layouts[kind];
  wf::LoadPageLayoutHead(l, out);
  out->bodyCount = wf::LoadU16(l + pl::kBodyCount);
  out->headerCount = wf::LoadU16(l + pl::kHeaderCount);
  // Records were checked at load to lie inside the block the layout is in.
  out->bodyRecords = l + wf::LoadU32(l + pl::kBodyRecords);
  out->headerRecords = l + wf::LoadU32(l + pl::kHeaderRecords);
  return true;
}

bool CurrentLayout(Setup& setup, LayoutView* out) { return ReadLayout(setup, setup.wizard->currentPageKind, out); }
