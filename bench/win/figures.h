// What the Windows benchmark programs measure of themselves: wall time and
// the peak working set.
#pragma once
#include <windows.h>

#include <psapi.h>

inline double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return 1000.0 * (double)now.QuadPart / (double)frequency.QuadPart;
}

inline long long PeakWorkingSetKb() {
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  return GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)
             ? (long long)(memory.PeakWorkingSetSize / 1024)
             : -1;
}
