// A rectangle in a window's client coordinates, without pulling in windows.h,
// so the geometry can be computed and checked natively.
#pragma once
#include <stdint.h>

struct UiRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

inline bool operator==(const UiRect& a, const UiRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
