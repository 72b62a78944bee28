#include "builder/theme.h"

#include <cstring>
#include <utility>

#include "format/install_type.h"
#include "format/settings.h"
#include "format/writer.h"

namespace wrenly::builder {
namespace f = wrenly::format;

namespace {

// Window styles, spelled out so the records read like a dialog script.
constexpr uint32_t kChildVisible = 0x50000000;  // WS_CHILD | WS_VISIBLE
constexpr uint32_t kTabStop = 0x00010000;
constexpr uint32_t kGroup = 0x00020000;
constexpr uint32_t kRichLabel = 0x50000804;    // + ES_READONLY | ES_MULTILINE
constexpr uint32_t kRichTextBox = 0x50210844;  // + WS_VSCROLL | ES_AUTOVSCROLL
constexpr uint32_t kTextBoxExStyle = 0x204;    // WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY
constexpr uint32_t kNoParentNotify = 0x4;
constexpr uint32_t kDefPushButton = 0x50010001;
constexpr uint32_t kPushButton = 0x50010000;
constexpr uint32_t kAutoCheckBox = kChildVisible | kTabStop | 0x3;
constexpr uint32_t kAutoRadio = kChildVisible | kTabStop | 0x9;
constexpr uint32_t kGroupBox = kChildVisible | 0x7;
constexpr uint32_t kFolderEdit = kChildVisible | kTabStop | 0x00800000 | 0x80;  // WS_BORDER | ES_AUTOHSCROLL
constexpr uint32_t kClientEdge = 0x200;
constexpr uint32_t kWhite = 0x00FFFFFF;

struct Control {
  uint16_t cls, id;
  uint32_t style, exStyle, options;
  int32_t left, top, right, bottom;
};

Control Label(uint16_t id, int l, int t, int r, int b) { return {f::kClassRichEdit, id, kRichLabel, 0, 0, l, t, r, b}; }
Control TextBox(uint16_t id, int l, int t, int r, int b) {
  return {f::kClassRichEdit, id, kRichTextBox, kTextBoxExStyle, f::control_record::kOptTextBox, l, t, r, b};
}

struct Layout {
  f::PageLayoutHead head;
  std::vector<Control> body, header;
};

// Each field at its offset, so the head cannot drift from what the Installer reads.
void WritePageLayoutHead(f::ByteWriter& w, const f::PageLayoutHead& h) {
  namespace pl = f::page_layout;
  uint8_t b[pl::kBodyCount] = {};
  for (auto [at, v] : {std::pair{pl::kFlags, h.flags},
                       {pl::kPageColour, h.pageColour},
                       {pl::kTextColour, h.textColour},
                       {pl::kEditColour, h.editColour},
                       {pl::kSideWidth, static_cast<uint32_t>(h.sideWidth)},
                       {pl::kSideColour, h.sideColour},
                       {pl::kSideBitmap, h.sideBitmap},
                       {pl::kHeaderHeight, static_cast<uint32_t>(h.headerHeight)},
                       {pl::kHeaderColour, h.headerColour},
                       {pl::kHeaderTextColour, h.headerTextColour},
                       {pl::kHeaderBitmap, h.headerBitmap}})
    f::StoreU32(b + at, v);
  w.Bytes(b, sizeof b);
}

// Pages below the header are 490 x 240; the welcome page beside the side
// panel is 351 x 300.
Layout HeaderPage(std::vector<Control> body) {
  return Layout{{0xB20, f::kSystemColour, f::kSystemColour, f::kSystemColour, 0, f::kSystemColour, 0, kHeaderHeight,
                 kWhite, 0, kHeaderBitmapNumber},
                std::move(body),
                {Label(f::kIdHeaderTitle, 16, 8, 420, 26), Label(f::kIdHeaderSubtitle, 28, 28, 420, 56)}};
}

std::vector<Layout> PageLayouts() {
  std::vector<Layout> layouts(7);
  layouts[f::kPageWelcome] = Layout{{0xF20, kWhite, 0, f::kSystemColour, kSideWidth, kWhite, kSideBitmapNumber, 0,
                                     f::kSystemColour, f::kSystemColour, 0},
                                    {Label(f::kIdText0, 16, 16, 335, 64), Label(f::kIdText1, 16, 72, 335, 132),
                                     Label(f::kIdText2, 16, 140, 335, 210), Label(f::kIdText3, 16, 218, 335, 290)},
                                    {}};
  layouts[f::kPageInformation] = HeaderPage({TextBox(f::kIdText0, 16, 12, 474, 228)});
  layouts[f::kPageAgreement] = HeaderPage({
      Label(f::kIdText0, 16, 8, 474, 36),
      TextBox(f::kIdText1, 16, 40, 474, 178),
      {f::kClassButton5, f::kIdText2, kAutoRadio | kGroup, 0, 0, 16, 184, 474, 204},
      {f::kClassButton5, f::kIdText3, kAutoRadio, 0, 0, 16, 208, 474, 228},
  });
  layouts[f::kPageDestination] = HeaderPage({
      Label(f::kIdText0, 16, 8, 474, 48),
      {f::kClassEdit, f::kIdFolderEdit, kFolderEdit, kClientEdge, 0, 16, 56, 390, 78},
      {f::kClassButton, f::kIdBrowse, kPushButton, kNoParentNotify, 0, 398, 55, 474, 79},
      Label(f::kIdSpaceRequiredLabel, 16, 90, 150, 108),
      Label(f::kIdSpaceAvailableLabel, 16, 110, 150, 128),
      Label(f::kIdSpaceRequired, 150, 90, 300, 108),
      Label(f::kIdSpaceAvailable, 150, 110, 300, 128),
      Label(f::kIdText1, 16, 136, 474, 168),
      Label(f::kIdText2, 16, 170, 474, 198),
      Label(f::kIdText3, 16, 200, 474, 230),
  });
  layouts[f::kPageReady] = HeaderPage({Label(f::kIdText0, 16, 8, 474, 48), Label(f::kIdText1, 16, 56, 474, 120),
                                       Label(f::kIdText2, 16, 124, 474, 180), Label(f::kIdText3, 16, 184, 474, 230)});
  layouts[f::kPageProgress] = HeaderPage({
      Label(f::kIdText0, 28, 30, 466, 48),
      Label(f::kIdCurrentFile, 28, 50, 466, 68),
      Label(f::kIdPercent, 28, 108, 466, 126),
      Label(f::kIdText1, 16, 180, 474, 230),
      {f::kClassGroupBox, f::kIdProgressGroup, kGroupBox, 0, 0, 16, 8, 474, 140},
      {f::kClassProgress, f::kIdProgressBar, kChildVisible, 0, 0, 28, 78, 462, 98},
  });
  layouts[f::kPageFinish] = HeaderPage({
      Label(f::kIdText0, 16, 8, 474, 60),
      Label(f::kIdText1, 16, 64, 474, 100),
      {f::kClassButton, f::kIdRunButton, kPushButton, kNoParentNotify, 0, 16, 104, 216, 128},
      Label(f::kIdText2, 16, 132, 474, 160),
      {f::kClassCheckBox, f::kIdRunCheckBox, kAutoCheckBox, 0, 0, 16, 164, 474, 184},
      Label(f::kIdText3, 16, 188, 474, 230),
  });
  return layouts;
}

void WriteControl(f::ByteWriter& w, const Control& c) {
  w.U16(c.cls);
  w.U16(c.id);
  w.U32(c.style);
  w.U32(c.exStyle);
  w.U32(c.options);
  w.I32(c.left);
  w.I32(c.top);
  w.I32(c.right);
  w.I32(c.bottom);
}

void WriteLogFont(f::ByteWriter& w, int32_t height, int32_t weight, const char* face) {
  uint32_t at = w.size();
  w.Zeros(f::logfont::kSize);
  auto& b = w.bytes();
  f::StoreU32(&b[at + f::logfont::kHeight], static_cast<uint32_t>(height));
  f::StoreU32(&b[at + f::logfont::kWeight], static_cast<uint32_t>(weight));
  b[at + f::logfont::kOutPrecision] = 3;
  b[at + f::logfont::kClipPrecision] = 2;
  b[at + f::logfont::kQuality] = 1;
  b[at + f::logfont::kPitchAndFamily] = 0x22;
  std::memcpy(&b[at + f::logfont::kFaceName], face, std::strlen(face));
}

}  // namespace

std::vector<uint8_t> BuildSetupSettings(const ThemeOptions& options) {
  namespace s = f::setup_settings;
  f::ByteWriter w;
  w.U32(options.flags);
  w.U32(options.topColour);
  w.U32(options.bottomColour);
  w.I32(kWizardWidth);
  w.I32(kWizardHeight);
  w.U32(f::kSetOptButtonBarLine | f::kSetOptKeepVisualStyles);
  WriteLogFont(w, -11, 400, "Arial");
  w.U32(f::kSystemColour);
  w.I32(kButtonBarHeight);
  const Control buttons[] = {
      {f::kClassButton, f::kIdNext, kDefPushButton, kNoParentNotify, 0, 321, 13, 396, 36},
      {f::kClassButton, f::kIdCancel, kPushButton, kNoParentNotify, 0, 405, 13, 480, 36},
      {f::kClassButton, f::kIdBack, kPushButton, kNoParentNotify, 0, 237, 13, 312, 36},
  };
  w.I32(3);
  w.U32(s::kFixedSize);
  w.Zeros(s::kReservedSize);
  w.Zeros(4 * (s::kLayoutCount + 1));
  for (const auto& c : buttons) WriteControl(w, c);

  std::vector<Layout> layouts = PageLayouts();
  for (size_t kind = 0; kind < layouts.size(); ++kind) {
    const Layout& l = layouts[kind];
    uint32_t at = w.size();
    w.PatchU32(s::kLayouts + 4 * static_cast<uint32_t>(kind), at);
    WritePageLayoutHead(w, l.head);
    w.U16(static_cast<uint16_t>(l.body.size()));
    w.U16(static_cast<uint16_t>(l.header.size()));
    uint32_t bodyAt = f::page_layout::kSize;
    w.U32(bodyAt);
    w.U32(l.header.empty() ? 0 : bodyAt + f::control_record::kSize * static_cast<uint32_t>(l.body.size()));
    for (const auto& c : l.body) WriteControl(w, c);
    for (const auto& c : l.header) WriteControl(w, c);
  }
  return w.bytes();
}

}  // namespace wrenly::builder
