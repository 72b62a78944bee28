// wrenly-gradient-check SHOT.png TOP BOTTOM X0,Y0,X1,Y1 ...: checks every
// pixel of the given screen regions of a screenshot of the background window
// (full screen at 0,0) against the dithered quadratic gradient the Installer
// must paint from the COLORREFs TOP and BOTTOM (hex). Exit 0 when all match.
#include <stdio.h>
#include <stdlib.h>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "ui/background_math.h"

namespace {

// Screen row y of the band starting at y - y % 8 shows pattern row 7 - y % 8
// (the pattern is bottom-up and its brush origin is the screen's).
uint32_t Expected(uint32_t top, uint32_t bottom, int x, int y, int height) {
  uint32_t colours[8];
  DitherBandColours(top, bottom, y - y % 8, height, colours);
  return colours[DitherTable[7 - y % 8][x % 8]];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: wrenly-gradient-check SHOT.png TOP BOTTOM X0,Y0,X1,Y1...\n");
    return 2;
  }
  int w, h, n;
  unsigned char* pixels = stbi_load(argv[1], &w, &h, &n, 3);
  if (!pixels) {
    fprintf(stderr, "wrenly-gradient-check: cannot read %s\n", argv[1]);
    return 2;
  }
  uint32_t top = strtoul(argv[2], nullptr, 16), bottom = strtoul(argv[3], nullptr, 16);
  long checked = 0, wrong = 0;
  for (int a = 4; a < argc; ++a) {
    int x0, y0, x1, y1;
    if (sscanf(argv[a], "%d,%d,%d,%d", &x0, &y0, &x1, &y1) != 4 || x0 < 0 || y0 < 0 || x1 > w || y1 > h) {
      fprintf(stderr, "wrenly-gradient-check: bad region %s\n", argv[a]);
      return 2;
    }
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        const unsigned char* p = pixels + 3 * (static_cast<size_t>(y) * w + x);
        uint32_t shown = p[0] | p[1] << 8 | p[2] << 16;  // as a COLORREF
        uint32_t want = Expected(top, bottom, x, y, h);
        ++checked;
        if (shown != want && ++wrong <= 5)
          printf("pixel (%d,%d) is %06X, the gradient gives %06X\n", x, y, shown, want);
      }
  }
  stbi_image_free(pixels);
  printf("%ld pixels checked, %ld differ\n", checked, wrong);
  return checked > 0 && wrong == 0 ? 0 : 1;
}
