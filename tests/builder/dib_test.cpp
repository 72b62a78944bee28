#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#include "builder/dib.h"
#include "format/bitmaps.h"

namespace wrenly::builder {
namespace {
namespace f = wrenly::format;

void Collect(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// A 3 x 2 picture: top row red, green, blue; bottom row white, black, half-transparent red.
std::vector<uint8_t> Rgba() {
  return {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 0, 255, 255, 0, 0, 128};
}

struct Encoded {
  const char* name;
  std::vector<uint8_t> (*encode)();
  bool hasAlpha;
};

const Encoded kFormats[] = {
    {"png", [] {
       std::vector<uint8_t> out;
       auto px = Rgba();
       stbi_write_png_to_func(Collect, &out, 3, 2, 4, px.data(), 12);
       return out;
     }, true},
    {"bmp", [] {
       std::vector<uint8_t> out;
       auto px = Rgba();
       std::vector<uint8_t> rgb;
       for (size_t i = 0; i < px.size(); i += 4) rgb.insert(rgb.end(), {px[i], px[i + 1], px[i + 2]});
       stbi_write_bmp_to_func(Collect, &out, 3, 2, 3, rgb.data());
       return out;
     }, false},
};

class ImageInputTest : public testing::TestWithParam<Encoded> {};

// Pixel (x, y) of the picture as stored in the DIB, as 0xRRGGBB.
uint32_t PixelAt(const std::vector<uint8_t>& dib, const f::DibInfo& info, int x, int y) {
  const uint8_t* row = dib.data() + info.pixelOffset + info.rowBytes * (info.height - 1 - y);
  return (row[x * 3 + 2] << 16) | (row[x * 3 + 1] << 8) | row[x * 3];
}

TEST_P(ImageInputTest, BecomesA24BitBottomUpDib) {
  std::vector<uint8_t> dib = MakeDib(DecodeImage(GetParam().encode(), Where{"pic", 1}));
  f::DibInfo info;
  ASSERT_TRUE(f::ParseDib(f::ByteView{dib.data(), static_cast<uint32_t>(dib.size())}, &info));
  EXPECT_EQ(info.width, 3);
  EXPECT_EQ(info.height, 2);
  EXPECT_EQ(info.bitCount, 24);
  EXPECT_EQ(info.colourCount, 0u);
  EXPECT_EQ(info.rowBytes, 12u);  // 9 bytes padded to 4
  EXPECT_EQ(info.totalSize, dib.size());
  EXPECT_EQ(PixelAt(dib, info, 0, 0), 0xFF0000u);
  EXPECT_EQ(PixelAt(dib, info, 1, 0), 0x00FF00u);
  EXPECT_EQ(PixelAt(dib, info, 2, 0), 0x0000FFu);
  EXPECT_EQ(PixelAt(dib, info, 0, 1), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(dib, info, 1, 1), 0x000000u);
  // Half-transparent red over the white matte.
  EXPECT_EQ(PixelAt(dib, info, 2, 1), GetParam().hasAlpha ? 0xFF7F7Fu : 0xFF0000u);
}

INSTANTIATE_TEST_SUITE_P(Formats, ImageInputTest, testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ImageInput, GarbageIsAnErrorNamingThePlace) {
  std::vector<uint8_t> junk = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'};
  try {
    DecodeImage(junk, Where{"project.toml", 7});
    FAIL();
  } catch (const BuildError& e) {
    EXPECT_EQ(e.where().line, 7);
  }
}

TEST(DefaultPictures, HaveTheThemeSizesAndParse) {
  struct Case {
    Rgb image;
    int width, height;
  } cases[] = {{DefaultSidePicture(), 140, 316}, {DefaultHeaderPicture(), 57, 57}};
  for (const auto& c : cases) {
    std::vector<uint8_t> dib = MakeDib(c.image);
    f::DibInfo info;
    ASSERT_TRUE(f::ParseDib(f::ByteView{dib.data(), static_cast<uint32_t>(dib.size())}, &info));
    EXPECT_EQ(info.width, c.width);
    EXPECT_EQ(info.height, c.height);
  }
}

TEST(BmpFile, CarriesAFileHeaderBeforeTheDib) {
  Rgb img{2, 2, std::vector<uint8_t>(12, 9)};
  std::vector<uint8_t> file = MakeBmpFile(img);
  ASSERT_EQ(file.size(), f::kBitmapFileHeaderSize + MakeDib(img).size());
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(f::LoadU32(&file[2]), file.size());
  EXPECT_EQ(f::LoadU32(&file[10]), 54u);
}

}  // namespace
}  // namespace wrenly::builder
