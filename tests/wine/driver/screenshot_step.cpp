// A picture of the whole screen for the test's artefacts.
#include <stdio.h>

#include "report.h"
#include "steps.h"

namespace driver {
namespace {

// A bottom-up 24-bit BMP: rows padded to four bytes, no palette.
bool WriteBmp(const std::string& path, int width, int height, const void* bits) {
  DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  DWORD size = stride * static_cast<DWORD>(height);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = size;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + size;
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = fwrite(&file, sizeof file, 1, f) == 1 && fwrite(&info, sizeof info, 1, f) == 1 &&
            fwrite(bits, 1, size, f) == size;
  return fclose(f) == 0 && ok;
}

}  // namespace

bool Screenshot(Target& t, const Args& args) {
  // A window shown a moment ago may not have painted its controls yet: its
  // pending paints are done now (sent to the target's thread, which paints
  // as it would anyway), so the picture shows what the steps just saw.
  for (HWND w : TopLevelWindows(t))
    RedrawWindow(w, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  HDC screen = GetDC(nullptr);
  int width = GetDeviceCaps(screen, HORZRES);
  int height = GetDeviceCaps(screen, VERTRES);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom-up, as the file stores it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (dib) {
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, dib);
    ok = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    SelectObject(memory, old);
    DeleteDC(memory);
    ok = ok && WriteBmp(args[0], width, height, bits);
    DeleteObject(dib);
  }
  ReleaseDC(nullptr, screen);
  if (!ok) {
    Line("error screenshot " + args[0] + " code=" + std::to_string(GetLastError()));
    return false;
  }
  Line("screenshot " + args[0] + " " + std::to_string(width) + "x" + std::to_string(height));
  return true;
}

}  // namespace driver
