#include "ui/page_walk.h"

#include "format/install_type.h"

namespace wf = wrenly::format;

bool IsShowablePageKind(const PageSequence& sequence, int kind) {
  if (kind < 0 || kind >= (int)wf::kPageKindCount) return false;
  if (kind > wf::kPageFinish && kind != wf::kPageClosing) return false;
  return (sequence.layoutMask >> kind) & 1u;
}

int PageKindAt(const PageSequence& sequence, int index) {
  if (!sequence.kinds || index < 0 || (uint32_t)index >= sequence.size) return -1;
  uint8_t kind = sequence.kinds[index];
  return kind == wf::install_type::kSequenceEnd ? -1 : kind;
}

// Moves *index over kinds that cannot be shown, forward or back. Going back
// from a hidden first page turns forward again. False when none is left.
static bool SettleOnShowable(const PageSequence& sequence, int* index, int step) {
  for (;;) {
    int kind = PageKindAt(sequence, *index);
    if (kind < 0 && step > 0) return false;
    if (kind >= 0 && IsShowablePageKind(sequence, kind)) return true;
    if (step < 0 && *index <= 0) step = 1;
    *index += step;
    if (*index < 0 || (uint32_t)*index >= sequence.size) return false;
  }
}

static int FindClosingPage(const PageSequence& sequence, int from) {
  for (int i = from < 0 ? 0 : from;; ++i) {
    int kind = PageKindAt(sequence, i);
    if (kind < 0) return -1;
    if (kind == wf::kPageClosing) return i;
  }
}

void WalkPageSequence(const WizardWalk& walk, const WizardWalkHooks& hooks, int* pageIndex, int* currentKind) {
  const PageSequence& sequence = walk.sequence;
  if (walk.singlePageMode) {
    if (IsShowablePageKind(sequence, walk.singlePageKind)) {
      *currentKind = walk.singlePageKind;
      hooks.showPage(hooks.context, walk.singlePageKind);
    }
    *currentKind = -1;
    return;
  }
  int step = 1;
  for (;;) {
    if (!SettleOnShowable(sequence, pageIndex, step)) break;
    int shown = PageKindAt(sequence, *pageIndex);
    *currentKind = shown;
    int result = hooks.showPage(hooks.context, shown);
    if (result == kPageResultNext) {
      step = 1;
      *pageIndex += 1;
      if (!SettleOnShowable(sequence, pageIndex, step)) break;
      if (PageKindAt(sequence, *pageIndex) == wf::kPageFinish && shown != wf::kPageProgress && walk.headlessInstall &&
          hooks.resultCode(hooks.context) == 0) {
        int finish = *pageIndex;
        hooks.installHeadless(hooks.context);
        *pageIndex = finish;  // whatever the completion step's jump left there
      }
    } else if (result == kPageResultCancel) {
      if (shown == wf::kPageClosing) break;
      int closing = FindClosingPage(sequence, *pageIndex);
      if (closing < 0) break;
      *pageIndex = closing;
      step = 1;
    } else if (result == kPageResultBack) {
      if (*pageIndex > 0) {
        *pageIndex -= 1;
        step = -1;
      }
    }
  }
  *currentKind = -1;
}
