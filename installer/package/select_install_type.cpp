#include <string.h>

#include "format/file_entry.h"
#include "package/package.h"
#include "package/package_model.h"
#include "startup/run_state.h"

namespace wf = wrenly::format;

Package ThePackage;

int SelectInstallType(int index) {
  if (index < 0 || index >= ThePackage.typeCount) return 0;
  if (ThePackage.currentType) memcpy(ThePackage.currentType->folder, InstallFolder, kPathSize);
  ThePackage.current = index;
  InstallTypeSlot* slot = &ThePackage.types[index];
  // Tables were checked when loaded: the count and every entry lie inside.
  if (slot->fileTable) {
    ThePackage.entryCount = wf::LoadU32(slot->fileTable + wf::file_table::kCount);
    ThePackage.firstEntry = slot->fileTable + wf::file_table::kEntries;
  } else {
    ThePackage.entryCount = 0;
    ThePackage.firstEntry = nullptr;
  }
  ThePackage.currentType = slot;
  memcpy(InstallFolder, slot->folder, kPathSize);
  return 1;
}

void FreePackage() {
  Package& p = ThePackage;
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
}
