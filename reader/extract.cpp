// Writes the files of one install type below a folder, without installing.
#include <exception>
#include <fstream>
#include <string>
#include <vector>

#include "format/file_entry.h"
#include "reader/damaged.h"
#include "reader/data_area.h"
#include "reader/entry_paths.h"
#include "reader/reader.h"
#include "reader/names.h"
#include "reader/report.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;
namespace fs = std::filesystem;

namespace {

struct Written {
  std::string problem;  // "" when the file is sound
  bool cannotWrite = false;
};

// Writes one entry's file.
Written WriteEntry(const Package& pkg, DataAreaReader& reader, const wf::FileEntryView& e, const fs::path& to) {
  fs::create_directories(to.parent_path());
  std::ofstream file(to, std::ios::binary | std::ios::trunc);
  if (!file) return {"cannot create " + to.string(), true};
  bool uninstaller = IsUninstallerEntry(e);
  if (uninstaller && pkg.uninstaller)
    file.write(reinterpret_cast<const char*>(pkg.uninstaller->data()),
               static_cast<std::streamsize>(pkg.uninstaller->size()));
  std::string problem;
  try {
    EntryData d = DecodeEntry(reader, e.dataOffset, e.storedLength, uninstaller ? UINT32_MAX : e.size,
                              [&](const uint8_t* p, size_t n) {
                                file.write(reinterpret_cast<const char*>(p), static_cast<std::streamsize>(n));
                              });
    if (!uninstaller && d.size != e.size)
      problem = "decodes to " + std::to_string(d.size) + " bytes, its size says " + std::to_string(e.size);
    else if (!uninstaller && d.checksum != e.checksum)
      problem = "checksum " + Hex(d.checksum) + ", its entry says " + Hex(e.checksum);
  } catch (const Damaged& x) {
    problem = x.what();
  }
  file.close();
  bool cannotWrite = problem.empty() && !file;
  if (!problem.empty() || !file) {
    std::error_code ec;
    fs::remove(to, ec);
    if (cannotWrite) problem = "cannot write " + to.string();
  }
  return {problem, cannotWrite};
}

}  // namespace

ReadResult Extract(const fs::path& setup, const fs::path& dir, int installType, std::ostream& out, std::ostream& err) {
  const std::string me = "extract: " + setup.string() + ": ";
  try {
    Package pkg = ReadPackage(setup);
    if (installType < 0 || static_cast<size_t>(installType) >= pkg.types.size()) {
      err << me << "no install type " << installType << " (the package has " << pkg.types.size() << ")\n";
      return kBadRequest;
    }
    const size_t t = static_cast<size_t>(installType);
    const auto& entries = pkg.types[t].entries;
    // Every name is checked before anything is written.
    std::vector<ExtractTarget> targets;
    bool refused = false;
    for (size_t i = 0; i < entries.size(); ++i) {
      std::string why;
      auto target = TargetOf(entries[i], &why);
      if (entries[i].flags & wf::kFlagSourceFolder) {
        targets.push_back({});
      } else if (!target) {
        err << me << "damaged package: " << EntryName(pkg, t, i) << ": refused name (" << why << ")\n";
        refused = true;
      } else {
        targets.push_back(*target);
      }
    }
    if (refused) return kDamaged;
    DataAreaReader reader(pkg);
    ReadResult result = kSound;
    for (size_t i = 0; i < entries.size(); ++i) {
      const wf::FileEntryView& e = entries[i];
      if (e.flags & wf::kFlagSourceFolder) {
        out << "skipped " << Quote(e.strings[wf::kItemName]) << ": a file beside the package, not in it\n";
        continue;
      }
      const fs::path& rel = targets[i].relative;
      if (targets[i].isFolder) {
        fs::create_directories(dir / rel);
        out << "folder  " << rel.generic_string() << "\n";
        continue;
      }
      Written w = WriteEntry(pkg, reader, e, dir / rel);
      if (w.problem.empty()) {
        out << "wrote   " << rel.generic_string() << " (" << fs::file_size(dir / rel) << " bytes)\n";
      } else {
        err << me << EntryName(pkg, t, i) << ": " << w.problem << "\n";
        // A file that cannot be written says more than a damaged one.
        if (result != kCannotWrite) result = w.cannotWrite ? kCannotWrite : kDamaged;
      }
    }
    return result;
  } catch (const Damaged& e) {
    err << me << "damaged package: " << e.what() << "\n";
    return kDamaged;
  } catch (const fs::filesystem_error& e) {
    // Only the output side works through the file system's calls.
    err << me << e.what() << "\n";
    return kCannotWrite;
  } catch (const std::exception& e) {
    err << me << e.what() << "\n";
  }
  return kUnreadable;
}

}  // namespace wrenly::inspector
