// The walk read from the loaded package: sequence bounds, layouts, options.
#include <gtest/gtest.h>

#include <string.h>

#include "format/bytes.h"
#include "format/install_type.h"
#include "package/package_model.h"
#include "startup/run_state.h"
#include "ui/page_walk_package.h"

namespace {

namespace wf = wrenly::format;

class PageWalkPackage : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = ThePackage; }
  void TearDown() override {
    ThePackage = saved_;
    SinglePageMode = false;
    SinglePageKind = 0;
  }
  Package saved_;
};

TEST_F(PageWalkPackage, ReadsTheCurrentTypeWithinItsRecord) {
  struct Case {
    const char* name;
    uint32_t recordSize;
    uint32_t moreOptions;
    bool hasSequence;
    bool headless;
  };
  const Case cases[] = {
      {"whole record", wf::install_type::kFixedSize, 0x20, true, true},
      {"other options", wf::install_type::kFixedSize, 0x20000000, true, false},
      {"sequence just fits", wf::install_type::kPageSequence + wf::install_type::kPageSequenceSize, 0x20,
       true, true},
      {"sequence cut short", wf::install_type::kPageSequence + 4, 0x20, false, true},
      {"options cut short", 4, 0x20, false, false},
  };
  for (const Case& c : cases) {
    uint8_t record[wf::install_type::kFixedSize] = {};
    wf::StoreU32(record + wf::install_type::kMoreOptions, c.moreOptions);
    const uint8_t kinds[] = {0, 1, 6, 10, 0xFF};
    memcpy(record + wf::install_type::kPageSequence, kinds, sizeof kinds);
    InstallTypeSlot slot{};
    slot.record = record;
    slot.recordSize = c.recordSize;
    ThePackage.currentType = &slot;
    WizardWalk walk = CurrentWizardWalk();
    EXPECT_EQ(walk.sequence.kinds != nullptr, c.hasSequence) << c.name;
    EXPECT_EQ(walk.sequence.size, c.hasSequence ? wf::install_type::kPageSequenceSize : 0u) << c.name;
    if (c.hasSequence) EXPECT_EQ(PageKindAt(walk.sequence, 2), 6) << c.name;
    EXPECT_EQ(walk.headlessInstall, c.headless) << c.name;
  }
}

TEST_F(PageWalkPackage, LayoutsAndTheSinglePageRequest) {
  static const uint8_t layout[56] = {};
  for (auto& slot : ThePackage.layouts) slot = nullptr;
  ThePackage.layouts[0] = layout;
  ThePackage.layouts[3] = layout;
  ThePackage.layouts[10] = layout;
  ThePackage.currentType = nullptr;
  SinglePageMode = true;
  SinglePageKind = 3;
  WizardWalk walk = CurrentWizardWalk();
  EXPECT_EQ(walk.sequence.layoutMask, 0x409u);
  EXPECT_EQ(walk.sequence.kinds, nullptr);
  EXPECT_TRUE(walk.singlePageMode);
  EXPECT_EQ(walk.singlePageKind, 3);
}

}  // namespace
