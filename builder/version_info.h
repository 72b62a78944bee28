// Reads the file version and language from a Windows program's VERSIONINFO
// resource, for the version and language checks of the Installer.
#pragma once
#include <cstdint>
#include <vector>

namespace wrenly::builder {

struct VersionInfo {
  uint32_t versionMS = 0, versionLS = 0;
  uint32_t language = 0;  // language word of the first translation, 0 when none
};

// False when the bytes are not a PE image or carry no version resource.
bool ReadVersionInfo(const std::vector<uint8_t>& image, VersionInfo* out);

}  // namespace wrenly::builder
