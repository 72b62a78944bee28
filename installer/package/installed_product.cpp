#include "package/installed_product.h"

#include <string.h>

#include "base/run_log.h"
#include "format/uninstall_log.h"
#include "package/package.h"
#include "text/path_services.h"

namespace wf = wrenly::format;

namespace {
bool Digit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c + 32) : c; }

// Saturates: a part of more digits than fit is as large as any.
uint32_t Number(const char*& p) {
  uint32_t v = 0;
  for (; Digit(*p); ++p) v = v > 429496728u ? 0xFFFFFFFFu : v * 10 + (uint32_t)(*p - '0');
  return v;
}

int CompareSuffixes(const char* a, uint32_t na, const char* b, uint32_t nb) {
  if (!na || !nb) return (int)nb - (int)na;  // the plain part is the later one
  for (uint32_t i = 0; i < na && i < nb; ++i)
    if (Lower(a[i]) != Lower(b[i])) return (uint8_t)Lower(a[i]) - (uint8_t)Lower(b[i]);
  return (int)na - (int)nb;
}

// The command line of the list of installed programs, without its quotes
// and arguments: the uninstaller's path.
void ProgramOf(const char* command, char* out) {
  const char* p = command;
  char stop = ' ';
  if (*p == '"') stop = *p++;
  uint32_t n = 0;
  while (p[n] && p[n] != stop && n + 1 < kPathSize) ++n;
  memcpy(out, p, n);
  out[n] = 0;
}
}  // namespace

int CompareVersions(const char* a, const char* b) {
  while (*a || *b) {
    uint32_t x = Number(a), y = Number(b);
    if (x != y) return x < y ? -1 : 1;
    const char *sa = a, *sb = b;
    while (*a && *a != '.') ++a;
    while (*b && *b != '.') ++b;
    if (int c = CompareSuffixes(sa, (uint32_t)(a - sa), sb, (uint32_t)(b - sb))) return c;
    if (*a) ++a;
    if (*b) ++b;
  }
  return 0;
}

void FindInstalledProduct(Setup& setup) {
  InstalledProduct& found = setup.installed;
  memset(&found, 0, sizeof found);
  if (!setup.package.productId) return;
  char key[sizeof wf::kUninstallKeyPrefix + kPathSize], command[kPathSize];
  uint32_t hive = ProductHive(setup);
  if (!JoinText(key, sizeof key, wf::kUninstallKeyPrefix, setup.package.productId) ||
      !QueryRegistryString(hive, key, wf::kUninstallCommand, command, sizeof command))
    return;
  QueryRegistryString(hive, key, wf::kUninstallVersion, found.version, sizeof found.version);
  QueryRegistryString(hive, key, wf::kUninstallLocation, found.folder, sizeof found.folder);
  ProgramOf(command, found.uninstaller);
  const char* mine = setup.package.detailTexts[wf::product_details::kVersion];
  int order = CompareVersions(mine ? mine : "", found.version);
  found.state = order > 0 ? kInstalledOlder : order == 0 ? kInstalledSame : kInstalledNewer;
  const char* const kinds[] = {"", "an older version, upgraded", "this version, repaired", "a newer version"};
  LogAction(setup, "installed already", found.version, kinds[found.state]);
  // The new version goes where the old one is, so that it replaces it.
  if (!found.folder[0]) return;
  for (int t = 0; t < setup.package.typeCount; ++t)
    if (setup.package.types[t].folder) JoinText(setup.package.types[t].folder, kPathSize, found.folder, "");
  JoinText(setup.installFolder, kPathSize, found.folder, "");
}
