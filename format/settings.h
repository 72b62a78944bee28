// SetupSettings (block 5173), PageLayout and ControlRecord: the look of the
// wizard, built entirely from the package.
#pragma once
#include <stdint.h>

#include "bytes.h"

namespace wrenly::format {

// LOGFONTA as stored: five i32, eight bytes, a 32-byte face name.
namespace logfont {
inline constexpr uint32_t kHeight = 0;
inline constexpr uint32_t kWidth = 4;
inline constexpr uint32_t kEscapement = 8;
inline constexpr uint32_t kOrientation = 12;
inline constexpr uint32_t kWeight = 16;
inline constexpr uint32_t kItalic = 20;
inline constexpr uint32_t kUnderline = 21;
inline constexpr uint32_t kStrikeOut = 22;
inline constexpr uint32_t kCharSet = 23;
inline constexpr uint32_t kOutPrecision = 24;
inline constexpr uint32_t kClipPrecision = 25;
inline constexpr uint32_t kQuality = 26;
inline constexpr uint32_t kPitchAndFamily = 27;
inline constexpr uint32_t kFaceName = 28;
inline constexpr uint32_t kFaceNameSize = 32;
inline constexpr uint32_t kSize = 60;
static_assert(kFaceName + kFaceNameSize == kSize);
}  // namespace logfont

namespace setup_settings {
inline constexpr uint32_t kFlags = 0;             // u32, SettingsFlag
inline constexpr uint32_t kTopColour = 4;         // COLORREF
inline constexpr uint32_t kBottomColour = 8;      // COLORREF
inline constexpr uint32_t kWizardWidth = 12;      // i32
inline constexpr uint32_t kWizardHeight = 16;     // i32
inline constexpr uint32_t kOptions = 20;          // u32, SettingsOption
inline constexpr uint32_t kDialogFont = 24;       // LOGFONTA
inline constexpr uint32_t kButtonBarColour = 84;  // COLORREF, kSystemColour = system colours
inline constexpr uint32_t kButtonBarHeight = 88;  // i32
inline constexpr uint32_t kButtonCount = 92;      // i32
inline constexpr uint32_t kButtonRecords = 96;    // u32 offset
inline constexpr uint32_t kReserved = 100;        // 26 bytes
inline constexpr uint32_t kReservedSize = 26;
inline constexpr uint32_t kLayouts = 126;  // 10 x u32 offsets, kinds 0..9
inline constexpr uint32_t kLayoutCount = 10;
inline constexpr uint32_t kClosingLayoutSlot = 166;  // kind 10, stored as 0
inline constexpr uint32_t kFixedSize = 170;
static_assert(kDialogFont + logfont::kSize == kButtonBarColour);
static_assert(kReserved + kReservedSize == kLayouts);
static_assert(kLayouts + 4 * kLayoutCount == kClosingLayoutSlot);
static_assert(kClosingLayoutSlot + 4 == kFixedSize);
}  // namespace setup_settings

enum SettingsFlag : uint32_t {
  kSetBackgroundMode = 0x02,
  kSetGradient = 0x04,
  kSetMaximised = 0x08,
  kSetFramedBackground = 0x10,
  kSetBitmapStretch = 0x20,
  kSetBitmapTile = 0x40,
  kSetBitmapCentreX = 0x100,
  kSetBitmapRight = 0x200,
  kSetBitmapCentreY = 0x1000,
  kSetBitmapBottom = 0x2000,
};

enum SettingsOption : uint32_t {
  kSetOptButtonBarLine = 0x01,
  kSetOptKeepVisualStyles = 0x02,
};

inline constexpr uint32_t kSystemColour = 0xFFFFFFFF;  // -1: use the system's colour

namespace page_layout {
inline constexpr uint32_t kFlags = 0;  // u32, LayoutFlag
inline constexpr uint32_t kPageColour = 4;
inline constexpr uint32_t kTextColour = 8;
inline constexpr uint32_t kEditColour = 12;
inline constexpr uint32_t kSideWidth = 16;  // i32
inline constexpr uint32_t kSideColour = 20;
inline constexpr uint32_t kSideBitmap = 24;    // u32 number in the BitmapTable, 0 none
inline constexpr uint32_t kHeaderHeight = 28;  // i32
inline constexpr uint32_t kHeaderColour = 32;
inline constexpr uint32_t kHeaderTextColour = 36;
inline constexpr uint32_t kHeaderBitmap = 40;
inline constexpr uint32_t kBodyCount = 44;      // u16
inline constexpr uint32_t kHeaderCount = 46;    // u16
inline constexpr uint32_t kBodyRecords = 48;    // u32 offset from the layout's start
inline constexpr uint32_t kHeaderRecords = 52;  // u32 offset from the layout's start
inline constexpr uint32_t kSize = 56;
static_assert(kHeaderRecords + 4 == kSize);
}  // namespace page_layout

// A PageLayout's head before its record counts, as the builder writes it
// and the Installer reads it.
struct PageLayoutHead {
  uint32_t flags;
  uint32_t pageColour, textColour, editColour;
  int32_t sideWidth;
  uint32_t sideColour, sideBitmap;
  int32_t headerHeight;
  uint32_t headerColour, headerTextColour, headerBitmap;
};
// Every field is four bytes, in record order.
static_assert(sizeof(PageLayoutHead) == page_layout::kBodyCount);

// The head of a layout whose first page_layout::kSize bytes were checked.
inline void LoadPageLayoutHead(const uint8_t* l, PageLayoutHead* out) {
  namespace pl = page_layout;
  out->flags = LoadU32(l + pl::kFlags);
  out->pageColour = LoadU32(l + pl::kPageColour);
  out->textColour = LoadU32(l + pl::kTextColour);
  out->editColour = LoadU32(l + pl::kEditColour);
  out->sideWidth = (int32_t)LoadU32(l + pl::kSideWidth);
  out->sideColour = LoadU32(l + pl::kSideColour);
  out->sideBitmap = LoadU32(l + pl::kSideBitmap);
  out->headerHeight = (int32_t)LoadU32(l + pl::kHeaderHeight);
  out->headerColour = LoadU32(l + pl::kHeaderColour);
  out->headerTextColour = LoadU32(l + pl::kHeaderTextColour);
  out->headerBitmap = LoadU32(l + pl::kHeaderBitmap);
}

enum LayoutFlag : uint32_t {
  kLaySideLine = 0x10,
  kLaySideBitmapCentred = 0x20,
  kLaySideBitmapFramed = 0x40,
  kLayHeaderLine = 0x100,
  kLayHeaderBitmapCentredY = 0x200,
  kLayHeaderBitmapFramed = 0x400,
  kLayHeaderBitmapRight = 0x800,
};

namespace control_record {
inline constexpr uint32_t kClass = 0;     // u16 ControlClass
inline constexpr uint32_t kId = 2;        // u16
inline constexpr uint32_t kStyle = 4;     // u32
inline constexpr uint32_t kExStyle = 8;   // u32
inline constexpr uint32_t kOptions = 12;  // u32, bit 0 = text box
inline constexpr uint32_t kLeft = 16;     // i32
inline constexpr uint32_t kTop = 20;
inline constexpr uint32_t kRight = 24;  // kSpecialSize selects the page-filling size
inline constexpr uint32_t kBottom = 28;
inline constexpr uint32_t kSize = 32;
static_assert(kBottom + 4 == kSize);
inline constexpr int32_t kSpecialSize = 65535;
inline constexpr uint32_t kOptTextBox = 0x01;
}  // namespace control_record

enum ControlClass : uint16_t {
  kClassStatic = 1,
  kClassEdit = 2,
  kClassButton = 3,  // 3..6 are all "BUTTON"
  kClassCheckBox = 4,
  kClassButton5 = 5,
  kClassGroupBox = 6,
  kClassProgress = 12,
  kClassRichEdit = 15,
};

// Control ids with a fixed meaning.
enum ControlId : uint16_t {
  kIdNext = 1,
  kIdCancel = 2,
  kIdBack = 1045,
  kIdHeaderTitle = 1046,
  kIdHeaderSubtitle = 1047,
  kIdText0 = 1000,
  kIdText1 = 1001,
  kIdText2 = 1002,
  kIdText3 = 1003,
  kIdFolderEdit = 1004,
  kIdBrowse = 1005,
  kIdCurrentFile = 1008,
  kIdProgressBar = 1009,
  kIdPercent = 1010,
  kIdProgressGroup = 1011,
  kIdRunButton = 1014,
  kIdRunCheckBox = 1015,
  kIdSpaceRequired = 1016,
  kIdSpaceRequiredLabel = 1017,
  kIdSpaceAvailableLabel = 1018,
  kIdSpaceAvailable = 1019,
  kIdClosingText = 100,
};

}  // namespace wrenly::format
