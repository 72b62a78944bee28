// The order in which the wizard shows its pages, and the walk read from the loaded package.
#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "format/bytes.h"
#include "format/install_type.h"
#include "package/package_model.h"
#include "ui/page_walk.h"
#include "ui/page_walk_package.h"

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
  int resultCode = 0;
  int finishPosition = -1;  // where the completion step's jump puts the FinishPage
  int singlePage = -2;      // the kind single-page mode asks for; -2: mode off
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
    if (kind == 5 && self->c.finishPosition >= 0) self->pageIndex = self->c.finishPosition - 1;
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
      {"back on the first", kFull, {B, N, C, C}, {0, 0, 1, 10}},
      {"other results repeat", kFull, {0, 7, N, C, C}, {0, 0, 0, 1, 10}},
      {"back over the closing page", {0, 10, kEnd}, {N, B, C, C}, {0, 10, 0, 10}},
      // A type without a progress page installs before its finish page, unless it already failed.
      {"headless", noProgress, {N, N, C, C}, {0, 4, I, 6, 10}, true},
      {"already failed", noProgress, {N, N, C, C}, {0, 4, 6, 10}, true, kAllLayouts, 5},
      {"not after the progress page", {0, 5, 6, 10, kEnd}, {N, N, C, C}, {0, 5, 6, 10}, true},
      {"over a page without a procedure", {0, 7, 6, 10, kEnd}, {N, C, C}, {0, I, 6, 10}, true},
      {"completion jump", {0, 5, 1, 4, 6, 10, kEnd}, {N, N, C, C}, {0, 5, 6, 10}, true, kAllLayouts, 0, 4},
      // Pages that cannot be shown are passed over.
      {"kinds 7 to 9", {0, 7, 1, 8, 9, 6, 10, kEnd}, {N, N, C, C}, {0, 1, 6, 10}},
      {"back over kind 7", {0, 7, 1, 10, kEnd}, {N, B, N, C, C}, {0, 1, 0, 1, 10}},
      {"no layout", {0, 1, 2, 6, 10, kEnd}, {N, N, C, C}, {0, 1, 6, 10}, false, 0x47B},
      {"hidden first page, back", {7, 1, 10, kEnd}, {B, C, C}, {1, 1, 10}},
      {"unknown kind", {0, 200, 6, 10, kEnd}, {N, C, C}, {0, 6, 10}},
      {"nothing to show", {7, 8, kEnd}, {}, {}},  {"empty", {}, {}, {}},
      {"no closing layout: cancel ends", kFull, {N, C}, {0, 1}, false, 0x07F},
      // Sequences without their end stay in bounds.
      {"cancel, no closing", {0, 1, kEnd}, {N, C}, {0, 1}}, {"off the end", {0, 1, kEnd}, {N, N}, {0, 1}},
      {"no end marker", {0, 1, 1, 1}, {N, N, N, N}, {0, 1, 1, 1}},
      {"single page", kFull, {N, N}, {3}, false, kAllLayouts, 0, -1, 3},
      {"single page, no kind", kFull, {N}, {}, false, kAllLayouts, 0, -1, -1},
  };
  for (const WalkCase& c : cases) {
    FakeWizard fake{c};
    WizardWalk walk{PageSequence{c.sequence.data(), uint32_t(c.sequence.size()), c.layouts},
                    c.singlePage != -2, c.singlePage, c.headless};
    WizardWalkHooks hooks{&fake, FakeWizard::Show, FakeWizard::Install, FakeWizard::Result};
    WalkPageSequence(walk, hooks, &fake.pageIndex, &fake.currentKind);
    EXPECT_EQ(fake.shown, c.shown) << c.name;
    EXPECT_EQ(fake.currentKind, -1) << c.name;
  }
}

TEST(PageWalkPackage, ReadsTheCurrentTypeWithinItsRecordAndTheLayouts) {
  namespace it = wrenly::format::install_type;
  Package saved = ThePackage;
  static const uint8_t layout[56] = {};
  for (auto& slot : ThePackage.layouts) slot = nullptr;
  ThePackage.layouts[0] = ThePackage.layouts[3] = ThePackage.layouts[10] = layout;
  const std::tuple<uint32_t, uint32_t, bool, bool> cases[] = {  // record size, options, sequence?, headless
      {it::kFixedSize, 0x20, true, true}, {it::kFixedSize, 0x20000000, true, false},
      {it::kPageSequence + it::kPageSequenceSize, 0x20, true, true},
      {it::kPageSequence + 4, 0x20, false, true},
      {4, 0x20, false, false}};
  for (auto& [size, options, sequenceRead, headless] : cases) {
    uint8_t record[it::kFixedSize] = {}, kinds[] = {0, 1, 6, 10, kEnd};
    memcpy(record + it::kPageSequence, kinds, sizeof kinds);
    wrenly::format::StoreU32(record + it::kMoreOptions, options);
    InstallTypeSlot slot{record, size};
    ThePackage.currentType = &slot;
    WizardWalk walk = CurrentWizardWalk();
    EXPECT_EQ(std::tuple(PageKindAt(walk.sequence, 2), walk.sequence.size, walk.headlessInstall),
              std::tuple(sequenceRead ? 6 : -1, sequenceRead ? it::kPageSequenceSize : 0u, headless)) << size;
    EXPECT_EQ(walk.sequence.layoutMask, 0x409u);
  }
  ThePackage = saved;
}

}  // namespace
