// The background window and the wizard around it.
#pragma once
#include <windows.h>

inline constexpr char kMainWindowClass[] = "WrenlyClass";
inline constexpr int kIconResource = 800;
inline constexpr int kRestartDialog = 131;

extern HWND MainWindow;
extern HWND WizardFrame;

// Nonzero when the window class was registered.
int RegisterMainWindowClass();
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Zero on failure.
int CreateMainWindow();
void PaintBackground(HWND window);
void RunWizard();
INT_PTR CALLBACK RestartDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
