#include "builder/stub_images.h"

#include <fmt/format.h>

#include <algorithm>
#include <bit>

#include "builder/utf8_path.h"
#include "format/container.h"
#include "format/stub_resources.h"

namespace wrenly::builder {
namespace f = wrenly::format;
namespace fs = std::filesystem;

std::string DecoderNames(uint32_t bits) {
  std::vector<const char*> names;
  if (bits & f::kStubHasZlib) names.push_back("zlib");
  if (bits & f::kStubHasBzip2) names.push_back("bzip2");
  if (bits & f::kStubHasLzma) names.push_back("LZMA");
  if (names.empty()) return "no decoder";
  std::string text = names[0];
  for (size_t i = 1; i < names.size(); ++i) text += (i + 1 == names.size() ? " and " : ", ") + std::string(names[i]);
  return text;
}

std::vector<fs::path> ImagesIn(const fs::path& folder) {
  std::vector<fs::path> images;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    std::string name = Utf8(e.path().filename());
    if (name.starts_with("wrenly-stub") && name.ends_with(".exe") && e.is_regular_file(ec)) images.push_back(e.path());
  }
  std::sort(images.begin(), images.end());
  return images;
}

std::optional<size_t> ChooseStub(uint32_t used, std::span<const StubImage> offered) {
  std::optional<size_t> best;
  for (size_t i = 0; i < offered.size(); ++i)
    if ((used & ~offered[i].methods) == 0 && (!best || offered[i].bytes.size() < offered[*best].bytes.size())) best = i;
  return best;
}

std::string NoStubText(uint32_t used, std::span<const StubImage> offered) {
  std::string text = fmt::format("the package uses {}", DecoderNames(used));
  for (const StubImage& image : offered)
    if (uint32_t missing = used & ~image.methods)
      text += fmt::format("; {} has no {} decoder{}", Utf8(image.path.filename()), DecoderNames(missing),
                          std::popcount(missing) > 1 ? "s" : "");
  return text + " (wrenly-stub.exe holds every decoder)";
}

}  // namespace wrenly::builder
