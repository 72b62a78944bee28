// The wizard's windows and the calls its pieces make of each other. Windows
// only; the pure decisions live in page_walk, layout_geometry and
// background_math.
#pragma once
#include <windows.h>

#include <stdint.h>

#include "base/codes.h"
#include "base/setup.h"
#include "ui/panel_bitmap.h"
#include "ui/ui_rect.h"

// Dialog templates of the program's resources.
inline constexpr int kTemplateChild = 112;       // pages, ButtonBar, windowed WizardFrame
inline constexpr int kTemplateFramePopup = 113;  // WizardFrame in background mode
inline constexpr int kTemplatePanel = 132;       // HeaderPanel, SidePanel (hidden)

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
const WizardSettings& Settings(Setup& setup);

// The windows and what they need of the machine: setup.wizard. Windows hands
// a window or dialog procedure nothing but the window, so every window the
// Installer makes keeps the run's Setup in its GWLP_USERDATA, put there from
// its creation parameter (SetupOf).
struct Wizard {
  HINSTANCE instance;
  bool nt4;
  bool richEdit2;
  int screenWidth, screenHeight;
  int halfScreenWidth, halfScreenHeight;
  HMODULE uxtheme, richEdit;
  void(WINAPI* setThemeAppProperties)(DWORD);

  HWND mainWindow;
  HWND wizardFrame;
  HWND headerPanel;
  HWND sidePanel;
  HWND buttonBar;
  HWND currentPage;
  HFONT dialogFont;
  HBRUSH headerBrush;
  HBRUSH sideBrush;
  HBRUSH pageBrush, editBrush;  // of the current page
  HBRUSH buttonBarBrush;
  uint32_t buttonMask;
  int currentPageKind;  // -1 once the wizard has ended
  bool commandBusy;     // a ButtonBar command is being handled

  WizardSettings settings;
  const uint8_t* settingsReadFrom;
  // The progress page, once shown.
  HWND progressPage, progressBar;
};

// The run's state for a dialog procedure: taken from WM_INITDIALOG's
// parameter when it comes, else from the window; null for the few messages
// before it. (A dialog's WM_NCCREATE carries the system's own parameter.)
Setup* SetupOf(HWND dialog, UINT message, LPARAM lParam);

// One PageLayout's head; records point into the settings block.
struct LayoutView : wrenly::format::PageLayoutHead {
  uint16_t bodyCount, headerCount;
  const uint8_t* bodyRecords;
  const uint8_t* headerRecords;
};
// The layout of `kind`; false when the kind has none.
bool ReadLayout(Setup& setup, int kind, LayoutView* out);
// The layout of the page being shown.
bool CurrentLayout(Setup& setup, LayoutView* out);
bool BackgroundMode(Setup& setup);

// A font from a LOGFONTA as the package stores it; null without one.
HFONT CreateStoredFont(const uint8_t* stored);

// Controls and panels.
void CreateControls(Setup& setup, HWND parent, int count, const uint8_t* records, uint32_t colourA, uint32_t colourB);
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
void SetMarkupText(Setup& setup, HWND window, const char* text);
LRESULT CALLBACK RichEditSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR HandleLinkNotify(Setup& setup, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The driver and the button bar.
int ShowPage(Setup& setup, DLGPROC procedure);
void PreparePage(Setup& setup, HWND page, uint32_t mask);
void SetButtonStates(Setup& setup, uint32_t mask);
void SetButtonCaption(Setup& setup, int button, uint16_t item);  // button: one of ButtonBits
INT_PTR MarkCommandHandled(HWND page);
int ConfirmAndInform(Setup& setup, uint16_t question, uint16_t information);
// The page's control `id` gets text list/item of the current kind (or none).
void SetControlMarkup(Setup& setup, HWND page, int id, const char* text);
void FocusButton(Setup& setup, int id);

// Page procedures, indexed by kind (null: no page).
DLGPROC PageProcedure(int kind);
INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void BindProgressDisplay(Setup& setup, HWND page);
