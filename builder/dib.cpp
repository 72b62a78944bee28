#include "builder/dib.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

#include "format/bitmaps.h"
#include "format/bytes.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#include <stb/stb_image.h>

namespace wrenly::builder {
namespace fmtb = wrenly::format;

namespace {

// `colours` (0xRRGGBB, sorted) as a colour table and each pixel its index,
// when there are any; else 24-bit pixels.
std::vector<uint8_t> Dib(const Rgb& image, const std::vector<uint32_t>& colours) {
  uint32_t bits = colours.empty() ? 24 : 8;
  uint32_t rowBytes = (static_cast<uint32_t>(image.width) * bits / 8 + 3) & ~3u;
  uint32_t table = static_cast<uint32_t>(colours.size()) * 4;
  std::vector<uint8_t> dib(fmtb::dib_header::kSize + table + rowBytes * image.height, 0);
  uint8_t* h = dib.data();
  fmtb::StoreU32(h + fmtb::dib_header::kHeaderSize, fmtb::dib_header::kSize);
  fmtb::StoreU32(h + fmtb::dib_header::kWidth, static_cast<uint32_t>(image.width));
  fmtb::StoreU32(h + fmtb::dib_header::kHeight, static_cast<uint32_t>(image.height));
  fmtb::StoreU16(h + fmtb::dib_header::kPlanes, 1);
  fmtb::StoreU16(h + fmtb::dib_header::kBitCount, static_cast<uint16_t>(bits));
  fmtb::StoreU32(h + fmtb::dib_header::kImageSize, rowBytes * image.height);
  fmtb::StoreU32(h + fmtb::dib_header::kXPelsPerMeter, 2835);
  fmtb::StoreU32(h + fmtb::dib_header::kYPelsPerMeter, 2835);
  fmtb::StoreU32(h + fmtb::dib_header::kClrUsed, static_cast<uint32_t>(colours.size()));
  for (size_t i = 0; i < colours.size(); ++i) fmtb::StoreU32(h + fmtb::dib_header::kSize + 4 * i, colours[i]);
  for (int y = 0; y < image.height; ++y) {
    // Bottom-up: the image's last row is stored first.
    uint8_t* row = dib.data() + fmtb::dib_header::kSize + table + rowBytes * (image.height - 1 - y);
    const uint8_t* src = image.pixels.data() + static_cast<size_t>(y) * image.width * 3;
    for (int x = 0; x < image.width; ++x, src += 3) {
      uint32_t rgb = src[0] << 16 | src[1] << 8 | src[2];
      if (bits == 8) {
        row[x] = static_cast<uint8_t>(std::lower_bound(colours.begin(), colours.end(), rgb) - colours.begin());
      } else {
        row[x * 3 + 0] = src[2];
        row[x * 3 + 1] = src[1];
        row[x * 3 + 2] = src[0];
      }
    }
  }
  return dib;
}

}  // namespace

std::vector<uint8_t> MakeDib(const Rgb& image) {
  // A picture of few colours loses nothing in a colour table, and its rows
  // of indices compress several times better than 24-bit ones.
  std::vector<uint32_t> colours;
  for (size_t i = 0; i + 2 < image.pixels.size() && colours.size() <= 256; i += 3) {
    uint32_t rgb = image.pixels[i] << 16 | image.pixels[i + 1] << 8 | image.pixels[i + 2];
    auto at = std::lower_bound(colours.begin(), colours.end(), rgb);
    if (at == colours.end() || *at != rgb) colours.insert(at, rgb);
  }
  if (colours.size() > 256) colours.clear();
  return Dib(image, colours);
}

std::vector<uint8_t> MakeBmpFile(const Rgb& image) {
  std::vector<uint8_t> dib = Dib(image, {});
  std::vector<uint8_t> file(fmtb::kBitmapFileHeaderSize + dib.size(), 0);
  file[0] = 'B';
  file[1] = 'M';
  fmtb::StoreU32(file.data() + 2, static_cast<uint32_t>(file.size()));
  fmtb::StoreU32(file.data() + 10, fmtb::kBitmapFileHeaderSize + fmtb::dib_header::kSize);
  std::copy(dib.begin(), dib.end(), file.begin() + fmtb::kBitmapFileHeaderSize);
  return file;
}

Rgb DecodeImage(const std::vector<uint8_t>& bytes, const Where& where, uint32_t matte) {
  int w = 0, h = 0, channels = 0;
  stbi_uc* px = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &channels, 4);
  if (!px) throw BuildError(where, fmt::format("not a usable PNG or BMP picture ({})", stbi_failure_reason()));
  if (w > 32767 || h > 32767) {
    stbi_image_free(px);
    throw BuildError(where, "picture is larger than 32767 pixels");
  }
  Rgb out{w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h * 3)};
  const uint8_t bg[3] = {static_cast<uint8_t>(matte >> 16), static_cast<uint8_t>(matte >> 8),
                         static_cast<uint8_t>(matte)};
  for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
    unsigned a = px[i * 4 + 3];
    for (int c = 0; c < 3; ++c)
      out.pixels[i * 3 + c] = static_cast<uint8_t>((px[i * 4 + c] * a + bg[c] * (255 - a) + 127) / 255);
  }
  stbi_image_free(px);
  return out;
}

namespace {
void Put(Rgb& img, int x, int y, int r, int g, int b) {
  if (x < 0 || y < 0 || x >= img.width || y >= img.height) return;
  uint8_t* p = img.pixels.data() + (static_cast<size_t>(y) * img.width + x) * 3;
  p[0] = static_cast<uint8_t>(r);
  p[1] = static_cast<uint8_t>(g);
  p[2] = static_cast<uint8_t>(b);
}
}  // namespace

Rgb DefaultSidePicture() {
  // A deep blue band that lightens downwards, crossed by soft diagonal
  // waves. The colour follows one diagonal in 256 steps, so the picture
  // takes a colour table and each row is the one above moved by three
  // pixels: about 1.5 kB compressed instead of 17 kB.
  Rgb img{140, 316, std::vector<uint8_t>(140 * 316 * 3)};
  constexpr int kSpan = 139 + 3 * 315;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      double t = ((x + 3 * y) * 255 + kSpan / 2) / kSpan / 255.0;
      double wave = 0.5 + 0.5 * std::sin(t * kSpan / 24.0);
      int r = static_cast<int>(20 + 60 * t + 18 * wave);
      int g = static_cast<int>(50 + 90 * t + 22 * wave);
      int b = static_cast<int>(120 + 100 * t + 20 * wave);
      Put(img, x, y, r, g, b > 255 ? 255 : b);
    }
  return img;
}

Rgb DefaultHeaderPicture() {
  // A blue disc with a lighter ring on white, drawn with integer distances
  // so every build gives the same bytes; its shade follows one diagonal, so
  // it takes a colour table.
  Rgb img{57, 57, std::vector<uint8_t>(57 * 57 * 3, 255)};
  for (int y = 0; y < 57; ++y)
    for (int x = 0; x < 57; ++x) {
      int dx = x - 28, dy = y - 28, d2 = dx * dx + dy * dy;
      if (d2 <= 24 * 24) Put(img, x, y, 40, 80 + (x + y), 170 + (x + y) / 3);
      if (d2 <= 14 * 14 && d2 >= 10 * 10) Put(img, x, y, 220, 232, 250);
    }
  return img;
}

}  // namespace wrenly::builder
