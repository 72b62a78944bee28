#pragma once
// Puts markup text into a window: tag-free text everywhere, formats and link
// targets in rich-edit controls.
#include <windows.h>

#include <stdint.h>

inline constexpr int32_t kNoDefaultColor = -1;

// The wizard's SetMarkupText finds the page's default text colour and calls
// this; kNoDefaultColor leaves the control's colour alone.
void SetMarkupTextWithDefault(HWND window, const char* text, int32_t defaultColor);
