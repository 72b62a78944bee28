// A Windows program's resources, read and written whole, so that the
// builder's copy of the stub can carry the product's version and icon.
// Types and names are numbers: what the stub and resource compilers use.
#pragma once
#include <cstdint>
#include <vector>

namespace wrenly::builder {

struct Resource {
  uint32_t type = 0;
  uint32_t id = 0;
  uint16_t language = 0;
  std::vector<uint8_t> data;
  uint32_t codePage = 0;
};

inline constexpr uint32_t kResourceIcon = 3, kResourceIconGroup = 14, kResourceVersion = 16, kResourceManifest = 24;

// Whether the image is a PE program with a resource directory (a stub
// without one has nothing to rebuild).
bool HasResources(const std::vector<uint8_t>& image);
// Throws BuildError when the image is no PE program or its resources are
// not a tree of numbered entries.
std::vector<Resource> ReadResources(const std::vector<uint8_t>& image);
// The image with its resource section made anew from `resources`. The
// sections after it (the relocations) move up; the image size, the
// directories and the checksum follow. Throws BuildError when the resource
// section is followed by anything else.
std::vector<uint8_t> WithResources(const std::vector<uint8_t>& image, const std::vector<Resource>& resources);

}  // namespace wrenly::builder
