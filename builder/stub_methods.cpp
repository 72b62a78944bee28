#include "builder/stub_methods.h"

#include "builder/error.h"
#include "builder/pe_resources.h"
#include "format/bytes.h"
#include "format/stub_resources.h"

namespace wrenly::builder {
namespace f = wrenly::format;

namespace {
constexpr uint32_t kResourceData = 10;  // RT_RCDATA
}

uint32_t StubMethods(const std::vector<uint8_t>& image) {
  if (HasResources(image))
    for (const Resource& r : ReadResources(image))
      if (r.type == kResourceData && r.id == f::kStubMethodsResource && r.data.size() >= 4)
        return f::LoadU32(r.data.data());
  return f::kStubHasZlib | f::kStubHasBzip2;
}

std::optional<uint32_t> ImageDecoders(const std::vector<uint8_t>& image) {
  if (!HasResources(image)) return std::nullopt;
  try {
    return StubMethods(image);
  } catch (const BuildError&) { return std::nullopt; }
}

}  // namespace wrenly::builder
