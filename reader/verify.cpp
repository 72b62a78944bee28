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

void VerifyEntries(const Package& pkg, std::ostream& out, Problems& problems) {
  DataAreaReader reader(pkg);
  size_t checked = 0, bad = 0;
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
      ++checked;
      // Entries whose data lies outside the DataArea were reported already.
      if (e.storedLength == 0 || uint64_t{e.dataOffset} + e.storedLength > pkg.DataAreaSize()) {
        ++bad;
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
        if (!sizeOk) {
          problems.push_back(EntryName(pkg, t, i) + ": decodes to " + std::to_string(d.size) +
                             " bytes, its size says " + std::to_string(e.size));
          ++bad;
        } else if (!sumOk) {
          problems.push_back(EntryName(pkg, t, i) + ": checksum " + Hex(d.checksum) + ", its entry says " +
                             Hex(e.checksum));
          ++bad;
        }
      } catch (const Damaged& x) {
        problems.push_back(EntryName(pkg, t, i) + ": " + x.what());
        ++bad;
      }
    }
  }
  out << "verify: " << checked << " entries decoded, " << bad << " with problems\n";
}

}  // namespace wrenly::inspector
