#include "ui/page_walk_package.h"

#include "base/package_model.h"
#include "base/setup.h"
#include "format/bytes.h"
#include "format/install_type.h"

namespace wf = wrenly::format;

WizardWalk CurrentWizardWalk(Setup& setup) {
  WizardWalk walk{};
  walk.singlePageMode = setup.singlePageMode;
  walk.singlePageKind = setup.singlePageKind;
  for (uint32_t kind = 0; kind < kLayoutSlots; ++kind)
    if (setup.package.layouts[kind]) walk.sequence.layoutMask |= 1u << kind;
  const InstallTypeSlot* type = setup.package.currentType;
  if (!type || !type->record) return walk;
  wf::ByteView record{type->record, type->recordSize};
  if (record.Has(wf::install_type::kPageSequence, wf::install_type::kPageSequenceSize)) {
    walk.sequence.kinds = type->record + wf::install_type::kPageSequence;
    walk.sequence.size = wf::install_type::kPageSequenceSize;
  }
  uint32_t more = 0;
  if (record.U32(wf::install_type::kMoreOptions, &more))
    walk.headlessInstall = (more & wf::kMoreOptNoProgressPage) != 0;
  // /QP: the progress page alone, and the walk ends with the installation.
  static const uint8_t kProgressOnly[] = {wf::kPageProgress, wf::install_type::kSequenceEnd};
  if (setup.options.quiet == kQuietProgress && walk.sequence.kinds)
    walk.sequence = {kProgressOnly, 2, walk.sequence.layoutMask};
  return walk;
}
