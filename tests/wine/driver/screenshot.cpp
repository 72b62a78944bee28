// A picture of the whole screen for the test's artefacts.
#include <stdio.h>

#include "driver.h"

namespace driver {

bool Screenshot(Target& t, const Args& args) {
  // A window shown a moment ago may not have painted its controls yet: its
  // pending paints are done now (sent to the target's thread, which paints
  // as it would anyway), so the picture shows what the steps just saw.
  for (HWND w : TopLevelWindows(t)) RedrawWindow(w, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  HDC screen = GetDC(nullptr);
  int width = GetDeviceCaps(screen, HORZRES), height = GetDeviceCaps(screen, VERTRES);
  // The file is a bottom-up 24-bit BMP, as the section is: rows padded to
  // four bytes, no palette.
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = ((width * 3 + 3) & ~3) * height;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + info.biSizeImage;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, dib);
  bool ok = dib && BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT) && GdiFlush();
  FILE* f = ok ? fopen(args[0].c_str(), "wb") : nullptr;
  ok = f && fwrite(&file, sizeof file, 1, f) == 1 && fwrite(&info, sizeof info, 1, f) == 1 &&
       fwrite(bits, 1, info.biSizeImage, f) == info.biSizeImage;
  ok = (!f || fclose(f) == 0) && ok;
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(dib);
  ReleaseDC(nullptr, screen);
  if (!ok) return Fail("error screenshot " + args[0] + " code=" + std::to_string(GetLastError()));
  return Line("screenshot " + args[0] + " " + std::to_string(width) + "x" + std::to_string(height));
}

}  // namespace driver
