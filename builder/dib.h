// Pictures for the wizard and the background: bottom-up BI_RGB DIBs,
// made from PNG or BMP files or drawn in code for the default theme.
#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

#include "builder/error.h"

namespace wrenly::builder {

// Top-down RGB pixels, 3 bytes each.
struct Rgb {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;
};

// A packed DIB: BITMAPINFOHEADER, a colour table and 8-bit pixels when the
// picture has at most 256 colours, else 24-bit ones; bottom-up rows padded to 4 bytes.
std::vector<uint8_t> MakeDib(const Rgb& image);
// A 24-bit DIB behind a 14-byte BITMAPFILEHEADER: a complete .bmp file.
std::vector<uint8_t> MakeBmpFile(const Rgb& image);

// Decodes PNG or BMP bytes; alpha is blended over `matte` (0xRRGGBB).
Rgb DecodeImage(const std::vector<uint8_t>& bytes, const Where& where, uint32_t matte = 0xFFFFFF);

// The default side picture (140 x 316) and header picture (57 x 57).
Rgb DefaultSidePicture();
Rgb DefaultHeaderPicture();

}  // namespace wrenly::builder
