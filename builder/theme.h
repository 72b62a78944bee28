// The default wizard look: a 490 x 348 wizard, a welcome page with a side
// picture, a white header with title, subtitle and picture on the other
// pages, and a 48-pixel button bar. Produces the SetupSettings block.
#pragma once
#include <cstdint>
#include <vector>

namespace wrenly::builder {

struct ThemeOptions {
  uint32_t flags = 0;  // SetupSettings flags: background mode, gradient, placement
  uint32_t topColour = 0x00FF0000;
  uint32_t bottomColour = 0;
};

inline constexpr int kWizardWidth = 490;
inline constexpr int kWizardHeight = 348;
inline constexpr int kButtonBarHeight = 48;
inline constexpr int kSideWidth = 139;
inline constexpr int kHeaderHeight = 60;
inline constexpr uint32_t kSideBitmapNumber = 1;
inline constexpr uint32_t kHeaderBitmapNumber = 2;

std::vector<uint8_t> BuildSetupSettings(const ThemeOptions& options);

}  // namespace wrenly::builder
