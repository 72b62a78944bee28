// Decodes every entry's data and compares it with the size and checksum
// its FileEntry records.
#include <string>

#include "format/file_entry.h"
#include "reader/damaged.h"
#include "reader/data_area.h"
#include "reader/names.h"
#include "reader/report.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;

std::vector<EntryCheck> CheckEntries(const Package& pkg) {
  std::vector<EntryCheck> checks;
  DataAreaReader reader(pkg);
  uint32_t imageSum = 0;
  uint64_t imageSize = 0;
  if (pkg.uninstaller) {
    imageSum = wf::UpdateFileChecksum(0, pkg.uninstaller->data(), pkg.uninstaller->size());
    imageSize = pkg.uninstaller->size();
  }
  for (size_t t = 0; t < pkg.types.size(); ++t) {
    for (size_t i = 0; i < pkg.types[t].entries.size(); ++i) {
      const wf::FileEntryView& e = pkg.types[t].entries[i];
      if (!HasData(e)) continue;
      EntryCheck& c = checks.emplace_back(EntryCheck{t, i, {}, false});
      if (std::string problem = DataPlaceProblem(pkg, e); !problem.empty()) {
        c.problem = problem;
        c.placeReported = true;
        continue;
      }
      bool uninstaller = IsUninstallerEntry(e);
      // The uninstaller's entry may describe its own data or the whole file
      // (image + data); either is sound.
      uint32_t wholeSum = imageSum;
      try {
        EntryData d = DecodeEntry(reader, e.dataOffset, e.storedLength, uninstaller ? UINT32_MAX : e.size,
                                  [&](const uint8_t* p, size_t n) {
                                    if (uninstaller) wholeSum = wf::UpdateFileChecksum(wholeSum, p, n);
                                  });
        bool sizeOk = d.size == e.size, sumOk = d.checksum == e.checksum;
        if (uninstaller && !(sizeOk && sumOk)) {
          sizeOk = d.size + imageSize == e.size;
          sumOk = wholeSum == e.checksum;
        }
        if (!sizeOk)
          c.problem = "decodes to " + std::to_string(d.size) + " bytes, its size says " + std::to_string(e.size);
        else if (!sumOk) c.problem = "checksum " + Hex(d.checksum) + ", its entry says " + Hex(e.checksum);
      } catch (const Damaged& x) { c.problem = x.what(); }
    }
  }
  return checks;
}

void VerifyEntries(const std::vector<EntryCheck>& checks, const Package& pkg, std::ostream& out, Problems& problems) {
  size_t bad = 0;
  for (const EntryCheck& c : checks) {
    if (c.problem.empty()) continue;
    ++bad;
    // A misplaced entry was reported with the file table.
    if (!c.placeReported) problems.push_back(EntryName(pkg, c.type, c.index) + ": " + c.problem);
  }
  out << "verify: " << checks.size() << " entries decoded, " << bad << " with problems\n";
}

}  // namespace wrenly::inspector
