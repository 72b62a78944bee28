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

// PNG, BMP and our own BMP files become bottom-up DIBs, rows padded to four bytes,
// transparency blended over white; a picture of at most 256 colours takes a
// colour table, a .bmp file is always 24-bit.
TEST(Pictures, BecomeBottomUpDibsWithPaddedRows) {
  // 3 x 2: top row red, green, blue; bottom row white, black, half-transparent red.
  std::vector<uint8_t> rgba = {255, 0,   0,   255, 0, 255, 0, 255, 0,   0, 255, 255,
                               255, 255, 255, 255, 0, 0,   0, 255, 255, 0, 0,   128};
  std::vector<uint8_t> png, bmp, rgb;
  stbi_write_png_to_func(Append, &png, 3, 2, 4, rgba.data(), 12);
  for (size_t i = 0; i < rgba.size(); i += 4) rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
  stbi_write_bmp_to_func(Append, &bmp, 3, 2, 3, rgb.data());
  std::vector<uint8_t> ours = MakeBmpFile(DecodeImage(png, Where{}));
  EXPECT_EQ(std::tuple(ours[0], ours[1], f::LoadU32(&ours[2]), f::LoadU32(&ours[10]), f::LoadU16(&ours[28])),
            std::tuple('B', 'M', ours.size(), f::kBitmapFileHeaderSize + 40, 24));
  struct {
    const char* name;
    const std::vector<uint8_t>& file;
    uint32_t blended, colours;
  } cases[] = {{"png", png, 0xFF7F7F, 6}, {"bmp", bmp, 0xFF0000, 5}, {"ours", ours, 0xFF7F7F, 6}};
  for (const auto& c : cases) {
    std::vector<uint8_t> dib = MakeDib(DecodeImage(c.file, Where{}));
    f::DibInfo i;
    ASSERT_TRUE(f::ParseDib(f::ByteView{dib.data(), static_cast<uint32_t>(dib.size())}, &i)) << c.name;
    EXPECT_EQ(std::tuple(i.width, i.height, i.bitCount, i.colourCount, i.rowBytes, i.totalSize),
              std::tuple(3, 2, 8, c.colours, 4u, dib.size()))
        << c.name;
    std::vector<uint32_t> pixels;
    for (int k = 0; k < 6; ++k) {  // top row first; the DIB stores it last
      uint8_t index = dib[i.pixelOffset + i.rowBytes * (1 - k / 3) + k % 3];
      pixels.push_back(f::LoadU32(&dib[f::dib_header::kSize + 4 * index]));
    }
    EXPECT_EQ(pixels, (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0, c.blended})) << c.name;
  }
  for (int colours : {256, 257}) {  // the last that fits a table, and the first that does not
    Rgb grey{colours, 1, {}};
    for (int k = 0; k < colours; ++k) grey.pixels.insert(grey.pixels.end(), {uint8_t(k), uint8_t(k >> 8), 0});
    EXPECT_EQ(f::LoadU16(&MakeDib(grey)[f::dib_header::kBitCount]), colours > 256 ? 24 : 8) << colours;
  }
}

}  // namespace
}  // namespace wrenly::builder
