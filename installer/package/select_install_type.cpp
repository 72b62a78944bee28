#include <string.h>

#include "base/package_model.h"
#include "base/setup.h"
#include "format/file_entry.h"
#include "package/package.h"

namespace wf = wrenly::format;

int SelectInstallType(Setup& setup, int index) {
  if (index < 0 || index >= setup.package.typeCount) return 0;
  if (setup.package.currentType) memcpy(setup.package.currentType->folder, setup.installFolder, kPathSize);
  setup.package.current = index;
  InstallTypeSlot* slot = &setup.package.types[index];
  // Tables were checked when loaded: the count and every entry lie inside.
  if (slot->fileTable) {
    setup.package.entryCount = wf::LoadU32(slot->fileTable + wf::file_table::kCount);
    setup.package.firstEntry = slot->fileTable + wf::file_table::kEntries;
  } else {
    setup.package.entryCount = 0;
    setup.package.firstEntry = nullptr;
  }
  setup.package.currentType = slot;
  memcpy(setup.installFolder, slot->folder, kPathSize);
  return 1;
}

void FreePackage(Package& package) {
  Package& p = package;
  FreeBuffer(&p.bitmapTable);
  FreeBuffer(&p.background);
  FreeBuffer(&p.uninstaller);
  FreeBuffer(&p.details);
  FreeBuffer(&p.titleStyle);
  FreeBuffer(&p.titleText);
  FreeBuffer(&p.scanBuffer);
  FreeBuffer(&p.settings);
  for (int t = 0; t < p.typeCount; ++t) {
    InstallTypeSlot& s = p.types[t];
    FreeBuffer(&s.fileTable);
    FreeBuffer(&s.record);
    FreeBuffer(&s.folder);
    FreeBuffer(&s.sections);
  }
  p = Package{};
  p.current = -1;
}
