// Steps that measure rather than drive: a picture of the whole screen for
// the test's artefacts, and the target's processor use while it waits.
#include <stdio.h>

#include "report.h"
#include "steps.h"

// Needs windows.h first (through steps.h).
#include <tlhelp32.h>

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

ULONGLONG Ticks(const FILETIME& f) {
  return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
}

ULONGLONG ThreadsTime(DWORD pid) {
  ULONGLONG sum = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != pid) continue;
    HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
    if (!thread) continue;
    FILETIME created, ended, kernel, user;
    if (GetThreadTimes(thread, &created, &ended, &kernel, &user)) sum += Ticks(kernel) + Ticks(user);
    CloseHandle(thread);
  }
  CloseHandle(snapshot);
  return sum;
}

// User and kernel time of the process so far, in 100 ns units. Wine leaves
// both at zero in GetProcessTimes for another process but reads each
// thread's from the host, so the larger of the two counts (on Windows the
// process's, which keeps the time of threads that have ended).
ULONGLONG CpuTime(const PROCESS_INFORMATION& p) {
  ULONGLONG process = 0;
  FILETIME created, ended, kernel, user;
  if (GetProcessTimes(p.hProcess, &created, &ended, &kernel, &user))
    process = Ticks(kernel) + Ticks(user);
  ULONGLONG threads = ThreadsTime(p.dwProcessId);
  return process > threads ? process : threads;
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

// Processor time over wall time, in percent of one core. A target that ends
// meanwhile is a fault: the measurement is of one that waits.
bool Cpu(Target& t, const Args& args) {
  if (!RequireStarted(t)) return false;
  LARGE_INTEGER frequency, begin, end;
  QueryPerformanceFrequency(&frequency);
  ULONGLONG cpuBefore = CpuTime(t.process);
  QueryPerformanceCounter(&begin);
  bool exited = WaitExit(t, Seconds(args[0]));
  QueryPerformanceCounter(&end);
  ULONGLONG cpuAfter = CpuTime(t.process);
  if (exited) {
    Line("no-cpu " + ExitLine(t));
    return false;
  }
  double wall = static_cast<double>(end.QuadPart - begin.QuadPart) / frequency.QuadPart;
  double busy = static_cast<double>(cpuAfter - cpuBefore) / 1e7;
  char text[64];
  snprintf(text, sizeof text, "cpu percent=%.2f", wall > 0 ? busy / wall * 100.0 : 0.0);
  Line(text);
  return true;
}

}  // namespace driver
