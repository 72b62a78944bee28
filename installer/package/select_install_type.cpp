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

namespace {
char Lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }
bool SameName(const char* a, const char* b) {
  while (*a && Lower(*a) == Lower(*b)) ++a, ++b;
  return Lower(*a) == Lower(*b);
}
}  // namespace

int FindInstallType(const Package& package, const char* argument) {
  int number = 0;
  const char* c = argument;
  for (; *c >= '0' && *c <= '9' && number <= (int)wf::kMaxInstallTypes; ++c) number = number * 10 + (*c - '0');
  if (c != argument && !*c) return number >= 1 && number <= package.typeCount ? number - 1 : -1;
  for (int t = 0; t < package.typeCount; ++t)
    if (package.types[t].typeName && SameName(package.types[t].typeName, argument)) return t;
  return -1;
}

void FreePackage(Package& package) {
  Package& p = package;
  FreeBuffer(&p.bitmapTable);
  FreeBuffer(&p.background);
  FreeBuffer(&p.uninstaller);
  FreeBuffer(&p.details);
  FreeBuffer(&p.identity);
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
