#include "text/link_store.h"

#include "platform/files.h"

namespace {

// One heap block per window: the pairs, then the terminated targets.
struct LinkPair {
  uint32_t start;
  uint32_t targetOffset;  // from the start of the block
};

struct WindowLinks {
  const void* window;
  uint32_t count;
  char* block;
};

WindowLinks gWindows[kMaxLinkWindows];

WindowLinks* FindWindow(const void* window) {
  for (WindowLinks& w : gWindows)
    if (w.block && w.window == window) return &w;
  return nullptr;
}

void Drop(WindowLinks* w) {
  FreeBuffer(&w->block);
  w->window = nullptr;
  w->count = 0;
}

uint32_t KeptLength(const MarkupLink& link) {
  return link.length < kMaxLinkTargetLength ? link.length : kMaxLinkTargetLength;
}

}  // namespace

bool StoreLinkTargets(const void* window, const MarkupLink* links, uint32_t count) {
  if (!window) return false;
  if (WindowLinks* old = FindWindow(window)) Drop(old);
  if (!count) return true;
  WindowLinks* slot = nullptr;
  for (WindowLinks& w : gWindows)
    if (!w.block) {
      slot = &w;
      break;
    }
  if (!slot) return false;
  uint32_t bytes = count * uint32_t(sizeof(LinkPair));
  for (uint32_t i = 0; i < count; ++i) bytes += KeptLength(links[i]) + 1;
  if (!AllocBuffer(bytes, &slot->block)) return false;
  LinkPair* pairs = reinterpret_cast<LinkPair*>(slot->block);
  uint32_t at = count * uint32_t(sizeof(LinkPair));
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t n = KeptLength(links[i]);
    pairs[i] = {links[i].start, at};
    for (uint32_t k = 0; k < n; ++k) slot->block[at + k] = links[i].target[k];
    slot->block[at + n] = 0;
    at += n + 1;
  }
  slot->window = window;
  slot->count = count;
  return true;
}

const char* FindLinkTarget(const void* window, uint32_t offset) {
  if (!window) return nullptr;
  WindowLinks* w = FindWindow(window);
  if (!w) return nullptr;
  const LinkPair* pairs = reinterpret_cast<const LinkPair*>(w->block);
  for (uint32_t i = 0; i < w->count; ++i)
    if (pairs[i].start == offset) return w->block + pairs[i].targetOffset;
  return nullptr;
}

void ClearLinkStore() {
  for (WindowLinks& w : gWindows) Drop(&w);
}
