#pragma once
// Link targets remembered per rich-text control, so a click on a link can be
// resolved to what the markup named.
#include <stdint.h>

#include "text/markup.h"

inline constexpr uint32_t kMaxLinkWindows = 50;
// A target is kept to what the click handler's buffer can hold.
inline constexpr uint32_t kMaxLinkTargetLength = 499;

// Replaces window's list with links (count 0 just drops it). Returns false when
// nothing could be kept: a null window, all windows in use, or no memory; the
// window's links then open their own visible text.
bool StoreLinkTargets(const void* window, const MarkupLink* links, uint32_t count);
// Target of window's link whose text starts at offset, or null.
const char* FindLinkTarget(const void* window, uint32_t offset);
// Frees all link lists.
void ClearLinkStore();
