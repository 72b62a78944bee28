// Resource numbers of the Installer stub that the builder relies on when it
// gives its copy the product's icon (installer/resources/installer.rc
// writes the same number).
#pragma once
#include <cstdint>

namespace wrenly::format {

// The icon group of the wizard's windows, and of the program in Explorer.
inline constexpr uint32_t kStubIconGroup = 800;

}  // namespace wrenly::format
