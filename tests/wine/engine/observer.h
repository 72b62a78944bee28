// What the engine shows while it runs, recorded instead of drawn: the
// program links its own progress display and message pump in place of the
// Installer's stand-ins.
#pragma once
#include <cstdint>

struct Observed {
  static constexpr int kMaxPercents = 4096;
  int percents[kMaxPercents];
  int percentCount;
  int currentFiles;
  uint64_t pumps;
  uint64_t cancelAtPump;  // 0: never cancel
};

extern Observed Observer;
