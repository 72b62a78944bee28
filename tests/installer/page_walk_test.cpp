// The order in which the wizard shows its pages. The walk read from the package is the Wine scenarios'.
#include "ui/page_walk.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int N = kPageResultNext, C = kPageResultCancel, B = kPageResultBack;
constexpr int I = -9;  // shown where the type installed without a progress page
constexpr uint8_t kEnd = 0xFF;
constexpr uint32_t kAllLayouts = 0x47F;  // kinds 0..6 and 10

struct WalkCase {
  const char* name;
  std::vector<uint8_t> sequence;
  std::vector<int> script, shown;
  bool headless = false;
  uint32_t layouts = kAllLayouts;
  // Where the completion step's jump puts the FinishPage; the kind single-page mode asks for, -2: mode off.
  int resultCode = 0, finishPosition = -1, singlePage = -2;
};

// Plays a case's script of page results and records what was shown.
struct FakeWizard {
  const WalkCase& c;
  size_t next = 0;
  std::vector<int> shown;
  int pageIndex = 0, currentKind = 99;

  static int Show(void* context, int kind) {
    auto* self = static_cast<FakeWizard*>(context);
    EXPECT_EQ(self->currentKind, kind) << self->c.name;
    self->shown.push_back(kind);
    if (self->shown.size() > 40) return C;  // a walk that never ends fails below, not hangs
    // The ProgressPage's run ends with the jump to the FinishPage and a Next.
    if (kind == wrenly::format::kPageProgress && self->c.finishPosition >= 0)
      self->pageIndex = self->c.finishPosition - 1;
    return self->next < self->c.script.size() ? self->c.script[self->next++] : C;
  }
  static void Install(void* context) {
    static_cast<FakeWizard*>(context)->shown.push_back(I);
    static_cast<FakeWizard*>(context)->pageIndex = 0;  // the completion step may leave any position behind
  }
  static int Result(void* context) { return static_cast<FakeWizard*>(context)->c.resultCode; }
};

TEST(PageWalk, Table) {
  const std::vector<uint8_t> kFull = {0, 1, 3, 4, 5, 6, 10, kEnd}, noProgress = {0, 4, 6, 10, kEnd};
  const WalkCase cases[] = {
      {"next through", kFull, {N, N, N, N, N, C, C}, {0, 1, 3, 4, 5, 6, 10}},
      {"back from ready", kFull, {N, N, N, B, N, N, N, C, C}, {0, 1, 3, 4, 3, 4, 5, 6, 10}},
      {"back on the first and other results repeat", kFull, {B, 0, 7, N, C, C}, {0, 0, 0, 0, 1, 10}},
      // A type without a progress page installs before its finish page, unless it already failed.
      {"headless", noProgress, {N, N, C, C}, {0, 4, I, 6, 10}, true},
      {"already failed", noProgress, {N, N, C, C}, {0, 4, 6, 10}, true, kAllLayouts, 5},
      {"not after the progress page", {0, 5, 6, 10, kEnd}, {N, N, C, C}, {0, 5, 6, 10}, true},
      {"completion jump", {0, 5, 1, 4, 6, 10, kEnd}, {N, N, C, C}, {0, 5, 6, 10}, true, kAllLayouts, 0, 4},
      // Pages that cannot be shown are passed over.
      {"kinds 7 to 9 and unknown", {0, 7, 1, 8, 200, 9, 6, 10, kEnd}, {N, N, C, C}, {0, 1, 6, 10}},
      {"back over kind 7", {0, 7, 1, 10, kEnd}, {N, B, N, C, C}, {0, 1, 0, 1, 10}},
      {"no layout", {0, 1, 2, 6, 10, kEnd}, {N, N, C, C}, {0, 1, 6, 10}, false, 0x47B},
      {"hidden first page, back", {7, 1, 10, kEnd}, {B, C, C}, {1, 1, 10}},
      {"nothing to show", {7, 8, kEnd}, {}, {}},
      {"empty", {}, {}, {}},
      {"no closing layout: cancel ends", kFull, {N, C}, {0, 1}, false, 0x07F},
      // Sequences without their end stay in bounds.
      {"cancel, no closing", {0, 1, kEnd}, {N, C}, {0, 1}},
      {"no end", {0, 1, 1, 1}, {N, N, N, N}, {0, 1, 1, 1}},
      {"single page", kFull, {N, N}, {3}, false, kAllLayouts, 0, -1, 3},
      {"single page, no kind", kFull, {N}, {}, false, kAllLayouts, 0, -1, -1},
  };
  for (const WalkCase& c : cases) {
    FakeWizard fake{c};
    WizardWalk walk{PageSequence{c.sequence.data(), uint32_t(c.sequence.size()), c.layouts}, c.singlePage != -2,
                    c.singlePage, c.headless};
    WizardWalkHooks hooks{&fake, FakeWizard::Show, FakeWizard::Install, FakeWizard::Result};
    WalkPageSequence(walk, hooks, &fake.pageIndex, &fake.currentKind);
    EXPECT_EQ(std::pair(fake.shown, fake.currentKind), std::pair(c.shown, -1)) << c.name;
  }
}

}  // namespace
