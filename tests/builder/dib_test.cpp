#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "builder/dib.h"
#include "format/bitmaps.h"

namespace wrenly::builder {
namespace {
namespace f = wrenly::format;

void Append(void* out, void* data, int size) {
  auto* v = static_cast<std::vector<uint8_t>*>(out);
  v->insert(v->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// PNG, BMP and our own BMP files become 24-bit bottom-up DIBs, rows padded to four bytes,
// transparency blended over white.
TEST(Pictures, BecomeBottomUpDibsWithPaddedRows) {
  // 3 x 2: top row red, green, blue; bottom row white, black, half-transparent red.
  std::vector<uint8_t> rgba = {255, 0,   0,   255, 0, 255, 0, 255, 0,   0, 255, 255,
                               255, 255, 255, 255, 0, 0,   0, 255, 255, 0, 0,   128};
  std::vector<uint8_t> png, bmp, rgb;
  stbi_write_png_to_func(Append, &png, 3, 2, 4, rgba.data(), 12);
  for (size_t i = 0; i < rgba.size(); i += 4) rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
  stbi_write_bmp_to_func(Append, &bmp, 3, 2, 3, rgb.data());
  std::vector<uint8_t> ours = MakeBmpFile(DecodeImage(png, Where{}));
  EXPECT_EQ(std::tuple(ours[0], ours[1], f::LoadU32(&ours[2]), f::LoadU32(&ours[10])),
            std::tuple('B', 'M', ours.size(), f::kBitmapFileHeaderSize + 40));
  struct {
    const char* name;
    const std::vector<uint8_t>& file;
    uint32_t blended;
  } cases[] = {{"png", png, 0xFF7F7F}, {"bmp", bmp, 0xFF0000}, {"ours", ours, 0xFF7F7F}};
  for (const auto& c : cases) {
    std::vector<uint8_t> dib = MakeDib(DecodeImage(c.file, Where{}));
    f::DibInfo i;
    ASSERT_TRUE(f::ParseDib(f::ByteView{dib.data(), static_cast<uint32_t>(dib.size())}, &i)) << c.name;
    EXPECT_EQ(std::tuple(i.width, i.height, i.bitCount, i.colourCount, i.rowBytes, i.totalSize),
              std::tuple(3, 2, 24, 0u, 12u, dib.size()))
        << c.name;
    std::vector<uint32_t> pixels;
    for (int k = 0; k < 6; ++k) {  // top row first; the DIB stores it last
      const uint8_t* p = &dib[i.pixelOffset + i.rowBytes * (1 - k / 3) + 3 * (k % 3)];
      pixels.push_back(p[2] << 16 | p[1] << 8 | p[0]);
    }
    EXPECT_EQ(pixels, (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0, c.blended})) << c.name;
  }
}

}  // namespace
}  // namespace wrenly::builder
