// The wizard's windows and the calls its pieces make of each other. Windows
// only; the pure decisions live in page_walk, layout_geometry and
// background_math.
#pragma once
#include <stdint.h>
#include <windows.h>

#include "startup/codes.h"
#include "ui/panel_bitmap.h"
#include "ui/ui_rect.h"

// Dialog templates of the program's resources.
inline constexpr int kTemplateChild = 112;       // pages, ButtonBar, windowed WizardFrame
inline constexpr int kTemplateFramePopup = 113;  // WizardFrame in background mode
inline constexpr int kTemplatePanel = 132;       // HeaderPanel, SidePanel (hidden)

extern HWND HeaderPanel;
extern HWND SidePanel;
extern HWND ButtonBar;
extern HWND CurrentPage;
extern HFONT DialogFont;
extern HBRUSH HeaderBrush;
extern HBRUSH SideBrush;
extern uint32_t ButtonMask;
extern int CurrentPageKind;  // -1 once the wizard has ended
extern int HalfScreenWidth;
extern int HalfScreenHeight;

// SetupSettings, read from the loaded block with every field bounds-checked.
struct WizardSettings {
  uint32_t flags;
  uint32_t topColour;
  uint32_t bottomColour;
  int32_t width;
  int32_t height;
  uint32_t options;
  const uint8_t* dialogFont;  // LOGFONTA as stored, or null
  uint32_t buttonBarColour;
  int32_t buttonBarHeight;
  int32_t buttonCount;
  const uint8_t* buttonRecords;
};
const WizardSettings& Settings();

// One PageLayout's head; records point into the settings block.
struct LayoutView : wrenly::format::PageLayoutHead {
  uint16_t bodyCount, headerCount;
  const uint8_t* bodyRecords;
  const uint8_t* headerRecords;
};
// The layout of `kind`; false when the kind has none.
bool ReadLayout(int kind, LayoutView* out);
// The layout of the page being shown.
bool CurrentLayout(LayoutView* out);
bool BackgroundMode();

// A font from a LOGFONTA as the package stores it; null without one.
HFONT CreateStoredFont(const uint8_t* stored);

// Controls and panels.
void CreateControls(HWND parent, int count, const uint8_t* records, uint32_t colourA, uint32_t colourB);
void DestroyChildren(HWND window);
void SetChildrenFont(HWND window, HFONT font);
void FillSolidRect(HDC dc, int x, int y, int width, int height, COLORREF colour);
HPALETTE CreateBitmapPalette(HDC dc, const FoundDib& dib);
// Draws a bitmap, its sunken frame and an etched line.
void DrawPanelDecoration(HDC dc, const FoundDib* dib, const UiRect* bitmap, const UiRect* line, uint32_t colour,
                         bool framed);
// Draws a whole DIB unscaled or stretched into (x, y, w, h).
void DrawDib(HDC dc, const FoundDib& dib, int x, int y, int w, int h);
// A solid brush of the colour, or of the system colour `fallback` for -1.
HBRUSH MakeBrush(uint32_t colour, int fallback);
INT_PTR CALLBACK CommonPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK HeaderPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SidePanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ButtonBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK WizardFrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);

// Rich text.
void SetMarkupText(HWND window, const char* text);
LRESULT CALLBACK RichEditSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR HandleLinkNotify(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The driver and the button bar.
int ShowPage(DLGPROC procedure);
void PreparePage(HWND page, uint32_t mask);
void SetButtonStates(uint32_t mask);
void SetButtonCaption(int button, uint16_t item);  // button: one of ButtonBits
INT_PTR MarkCommandHandled(HWND page);
int ConfirmAndInform(uint16_t question, uint16_t information);
// The page's control `id` gets text list/item of the current kind (or none).
void SetControlMarkup(HWND page, int id, const char* text);
void FocusButton(int id);

// Page procedures, indexed by kind (null: no page).
DLGPROC PageProcedure(int kind);
INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void BindProgressDisplay(HWND page);
