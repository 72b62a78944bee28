// wrenly-bmp-to-png IN.bmp OUT.png: turns the driver's screenshots (24-bit,
// uncompressed, bottom-up or top-down) into PNG artefacts a person can open
// anywhere. Anything else is refused with a reason and exit code 1.
#include <stdio.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

uint32_t U32(const std::vector<unsigned char>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<unsigned char>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

int Fail(const std::string& why) {
  fprintf(stderr, "wrenly-bmp-to-png: %s\n", why.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Fail("usage: wrenly-bmp-to-png IN.bmp OUT.png");
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) return Fail(std::string("cannot read ") + argv[1]);
  std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
  // File header (14 bytes) and the fields of BITMAPINFOHEADER read here.
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return Fail("not a BMP file");
  uint32_t offset = U32(b, 10);
  int32_t width = static_cast<int32_t>(U32(b, 18));
  int32_t height = static_cast<int32_t>(U32(b, 22));
  if (U32(b, 14) < 40 || U16(b, 28) != 24 || U32(b, 30) != 0)
    return Fail("only uncompressed 24-bit BMP files are converted");
  bool bottomUp = height > 0;
  if (!bottomUp) height = -height;
  if (width <= 0 || height <= 0 || width > 1 << 15 || height > 1 << 15)
    return Fail("implausible size");
  size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  if (offset > b.size() || b.size() - offset < stride * height)
    return Fail("pixel rows end past the file");

  std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
  for (int32_t y = 0; y < height; ++y) {
    const unsigned char* row = &b[offset + stride * (bottomUp ? height - 1 - y : y)];
    unsigned char* out = &rgb[static_cast<size_t>(y) * width * 3];
    for (int32_t x = 0; x < width; ++x) {  // stored as blue, green, red
      out[x * 3] = row[x * 3 + 2];
      out[x * 3 + 1] = row[x * 3 + 1];
      out[x * 3 + 2] = row[x * 3];
    }
  }
  if (!stbi_write_png(argv[2], width, height, 3, rgb.data(), width * 3))
    return Fail(std::string("cannot write ") + argv[2]);
  return 0;
}
