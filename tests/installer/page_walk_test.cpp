// The order in which the wizard shows its pages.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "ui/page_walk.h"

namespace {

constexpr int N = kPageResultNext;
constexpr int C = kPageResultCancel;
constexpr int B = kPageResultBack;
constexpr uint8_t kEnd = 0xFF;
constexpr uint32_t kAllLayouts = 0x47F;  // kinds 0..6 and 10

// Plays a script of page results and records what was shown.
struct FakeWizard {
  std::vector<int> script;
  size_t next = 0;
  std::vector<int> shown;
  int* pageIndex = nullptr;
  int* currentKind = nullptr;
  bool kindMismatch = false;
  int headlessRuns = 0;
  int resultCode = 0;
  int finishPosition = -1;  // where the completion step's jump puts the FinishPage

  static int Show(void* context, int kind) {
    auto* self = static_cast<FakeWizard*>(context);
    if (*self->currentKind != kind) self->kindMismatch = true;
    self->shown.push_back(kind);
    if (self->shown.size() > 40) return C;  // a walk that never ends fails below, not hangs
    // The ProgressPage's run ends with the jump to the FinishPage and a Next.
    if (kind == 5 && self->finishPosition >= 0) *self->pageIndex = self->finishPosition - 1;
    return self->next < self->script.size() ? self->script[self->next++] : C;
  }
  static void Install(void* context) {
    auto* self = static_cast<FakeWizard*>(context);
    ++self->headlessRuns;
    *self->pageIndex = 0;  // the completion step may leave any position behind
  }
  static int Result(void* context) { return static_cast<FakeWizard*>(context)->resultCode; }
};

struct WalkCase {
  const char* name;
  std::vector<uint8_t> sequence;
  std::vector<int> script;
  std::vector<int> shown;
  bool headless = false;
  int headlessRuns = 0;
  uint32_t layouts = kAllLayouts;
  int resultCode = 0;
  int finishPosition = -1;
};

void RunCase(const WalkCase& c) {
  FakeWizard fake;
  fake.script = c.script;
  fake.resultCode = c.resultCode;
  fake.finishPosition = c.finishPosition;
  int pageIndex = 0;
  int currentKind = 99;
  fake.pageIndex = &pageIndex;
  fake.currentKind = &currentKind;
  WizardWalk walk{};
  walk.sequence = PageSequence{c.sequence.data(), (uint32_t)c.sequence.size(), c.layouts};
  walk.headlessInstall = c.headless;
  WizardWalkHooks hooks{&fake, FakeWizard::Show, FakeWizard::Install, FakeWizard::Result};
  WalkPageSequence(walk, hooks, &pageIndex, &currentKind);
  EXPECT_EQ(fake.shown, c.shown) << c.name;
  EXPECT_EQ(fake.headlessRuns, c.headlessRuns) << c.name;
  EXPECT_EQ(currentKind, -1) << c.name;
  EXPECT_FALSE(fake.kindMismatch) << c.name;
}

const std::vector<uint8_t> kFull = {0, 1, 3, 4, 5, 6, 10, kEnd};

TEST(PageWalk, NextBackAndCancel) {
  const WalkCase cases[] = {
      {"next through", kFull, {N, N, N, N, N, C, C}, {0, 1, 3, 4, 5, 6, 10}},
      {"back from ready", kFull, {N, N, N, B, N, N, N, C, C}, {0, 1, 3, 4, 3, 4, 5, 6, 10}},
      {"back on the first", kFull, {B, N, C, C}, {0, 0, 1, 10}},
      {"cancel leads to closing", kFull, {N, C, C}, {0, 1, 10}},
      {"next on closing ends", kFull, {N, N, N, N, N, C, N}, {0, 1, 3, 4, 5, 6, 10}},
      {"other results repeat", kFull, {0, 7, N, C, C}, {0, 0, 0, 1, 10}},
      {"back over the closing page", {0, 10, kEnd}, {N, B, C, C}, {0, 10, 0, 10}},
  };
  for (const WalkCase& c : cases) RunCase(c);
}

TEST(PageWalk, HeadlessInstallationBeforeTheFinishPage) {
  const std::vector<uint8_t> noProgress = {0, 4, 6, 10, kEnd};
  const WalkCase cases[] = {
      {"installs, then finish", noProgress, {N, N, C, C}, {0, 4, 6, 10}, true, 1},
      {"option clear", noProgress, {N, N, C, C}, {0, 4, 6, 10}, false, 0},
      {"already failed", noProgress, {N, N, C, C}, {0, 4, 6, 10}, true, 0, kAllLayouts, 5},
      {"not after the progress page", {0, 5, 6, 10, kEnd}, {N, N, C, C}, {0, 5, 6, 10}, true, 0},
      {"over a page without a procedure", {0, 7, 6, 10, kEnd}, {N, C, C}, {0, 6, 10}, true, 1},
  };
  for (const WalkCase& c : cases) RunCase(c);
}

TEST(PageWalk, CompletionJumpReachesTheFinishPage) {
  const WalkCase cases[] = {
      {"pages between progress and finish", {0, 5, 1, 4, 6, 10, kEnd}, {N, N, C, C}, {0, 5, 6, 10},
       true, 0, kAllLayouts, 0, 4},
      {"no jump: the next page follows", {0, 5, 1, 6, 10, kEnd}, {N, N, N, C, C}, {0, 5, 1, 6, 10}},
  };
  for (const WalkCase& c : cases) RunCase(c);
}

TEST(PageWalk, PagesThatCannotBeShownArePassedOver) {
  const WalkCase cases[] = {
      {"kinds 7 to 9", {0, 7, 1, 8, 9, 6, 10, kEnd}, {N, N, C, C}, {0, 1, 6, 10}},
      {"back over kind 7", {0, 7, 1, 10, kEnd}, {N, B, N, C, C}, {0, 1, 0, 1, 10}},
      {"no layout", {0, 1, 2, 6, 10, kEnd}, {N, N, C, C}, {0, 1, 6, 10}, false, 0, 0x47B},
      {"hidden first page, back", {7, 1, 10, kEnd}, {B, C, C}, {1, 1, 10}},
      {"unknown kind", {0, 200, 6, 10, kEnd}, {N, C, C}, {0, 6, 10}},
      {"nothing to show", {7, 8, kEnd}, {}, {}},
      {"no closing layout: cancel ends", kFull, {N, C}, {0, 1}, false, 0, 0x07F},
  };
  for (const WalkCase& c : cases) RunCase(c);
}

TEST(PageWalk, SequencesWithoutTheirEndStayInBounds) {
  const WalkCase cases[] = {
      {"cancel without a closing page", {0, 1, kEnd}, {N, C}, {0, 1}},
      {"next off the end", {0, 1, kEnd}, {N, N}, {0, 1}},
      {"no end marker", {0, 1, 1, 1}, {N, N, N, N}, {0, 1, 1, 1}},
      {"no end marker, cancel", {0, 1}, {C}, {0}},
      {"empty", {}, {}, {}},
  };
  for (const WalkCase& c : cases) RunCase(c);
}

TEST(PageWalk, SinglePageModeShowsOnePageOnce) {
  struct Case {
    int kind;
    std::vector<int> shown;
  };
  const Case cases[] = {{3, {3}}, {10, {10}}, {8, {}}, {2, {}}, {-1, {}}};
  for (const Case& c : cases) {
    FakeWizard fake;
    fake.script = {N, N, N};
    int pageIndex = 0, currentKind = 99;
    fake.pageIndex = &pageIndex;
    fake.currentKind = &currentKind;
    WizardWalk walk{};
    walk.sequence = PageSequence{kFull.data(), (uint32_t)kFull.size(), 0x47B};
    walk.singlePageMode = true;
    walk.singlePageKind = c.kind;
    WizardWalkHooks hooks{&fake, FakeWizard::Show, FakeWizard::Install, FakeWizard::Result};
    WalkPageSequence(walk, hooks, &pageIndex, &currentKind);
    EXPECT_EQ(fake.shown, c.shown) << c.kind;
    EXPECT_EQ(currentKind, -1);
    EXPECT_FALSE(fake.kindMismatch);
  }
}

}  // namespace
