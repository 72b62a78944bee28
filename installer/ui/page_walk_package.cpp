#include "ui/page_walk_package.h"

#include "format/bytes.h"
#include "format/install_type.h"
#include "package/package_model.h"
#include "startup/run_state.h"

namespace wf = wrenly::format;

WizardWalk CurrentWizardWalk() {
  WizardWalk walk{};
  walk.singlePageMode = SinglePageMode;
  walk.singlePageKind = SinglePageKind;
  for (uint32_t kind = 0; kind < kLayoutSlots; ++kind)
    if (ThePackage.layouts[kind]) walk.sequence.layoutMask |= 1u << kind;
  const InstallTypeSlot* type = ThePackage.currentType;
  if (!type || !type->record) return walk;
  wf::ByteView record{type->record, type->recordSize};
  if (record.Has(wf::install_type::kPageSequence, wf::install_type::kPageSequenceSize)) {
    walk.sequence.kinds = type->record + wf::install_type::kPageSequence;
    walk.sequence.size = wf::install_type::kPageSequenceSize;
  }
  uint32_t more = 0;
  if (record.U32(wf::install_type::kMoreOptions, &more))
    walk.headlessInstall = (more & wf::kMoreOptNoProgressPage) != 0;
  return walk;
}
