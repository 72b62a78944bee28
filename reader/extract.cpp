// Writes the files of one install type below a folder, without installing.
#include <cctype>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

#include "format/file_entry.h"
#include "reader/ansi_text.h"
#include "reader/damaged.h"
#include "reader/data_area.h"
#include "reader/entry_paths.h"
#include "reader/names.h"
#include "reader/reader.h"
#include "reader/records_view.h"
#include "reader/report.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;
namespace fs = std::filesystem;

namespace {

struct Written {
  std::string problem;  // "" when the file is sound
  bool cannotWrite = false;
};

// The system's reason as the end of a sentence of ours.
std::string Reason(std::string why) {
  if (!why.empty()) why[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(why[0])));
  return why;
}

std::string CannotCreateFolder(const fs::path& folder, const std::error_code& ec) {
  return "cannot create the folder " + folder.string() + ": " + Reason(ec.message());
}

// Writes one entry's file.
Written WriteEntry(const Package& pkg, DataAreaReader& reader, const wf::FileEntryView& e, const fs::path& to) {
  std::error_code ec;
  if (fs::create_directories(to.parent_path(), ec); ec) return {CannotCreateFolder(to.parent_path(), ec), true};
  std::ofstream file(to, std::ios::binary | std::ios::trunc);
  if (!file) return {"cannot create " + to.string() + ": " + Reason(std::strerror(errno)), true};
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
  } catch (const Damaged& x) { problem = x.what(); }
  file.close();
  bool cannotWrite = problem.empty() && !file;
  if (!problem.empty() || !file) {
    fs::remove(to, ec);
    if (cannotWrite) problem = "cannot write " + to.string();
  }
  return {problem, cannotWrite};
}

// The index of the type the command line names: its number from 1, or its
// name (the package's ANSI text against the UTF-8 argument).
std::optional<size_t> FindType(const Package& pkg, std::string_view type, std::string* why) {
  const std::string has = " (the package has " + std::to_string(pkg.types.size()) + ")";
  if (type.empty()) return 0;
  if (type.find_first_not_of("0123456789") == std::string_view::npos) {
    size_t n = type.size() > 4 ? SIZE_MAX : std::stoul(std::string(type));
    if (n >= 1 && n <= pkg.types.size()) return n - 1;
    *why = "no install type " + std::string(type) + has;
    return std::nullopt;
  }
  std::vector<size_t> named;
  std::string names;
  for (size_t t = 0; t < pkg.types.size(); ++t) {
    const char* name = ReadInstallType(View(pkg.types[t].record)).typeName;
    std::string utf8 = Cp1252ToUtf8(name ? name : "");
    names += (t ? ", " : "") + std::to_string(t + 1) + " " + Quote(utf8);
    if (utf8 == type) named.push_back(t);
  }
  if (named.size() == 1) return named[0];
  *why = named.empty() ? "no install type named " + Quote(type) + " (the package has " + names + ")"
                       : "install types " + std::to_string(named[0] + 1) + " and " + std::to_string(named[1] + 1) +
                             " are both named " + Quote(type) + "; give its number";
  return std::nullopt;
}

ReadResult ExtractType(const Package& pkg, size_t t, const fs::path& dir, const std::string& me, std::ostream& out,
                       std::ostream& err) {
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
  std::error_code ec;
  if (fs::create_directories(dir, ec); ec) {
    err << me << CannotCreateFolder(dir, ec) << "; nothing was written\n";
    return kCannotWrite;
  }
  DataAreaReader reader(pkg);
  ReadResult result = kSound;
  size_t written = 0, notWritten = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    const wf::FileEntryView& e = entries[i];
    if (e.flags & wf::kFlagSourceFolder) {
      out << "skipped " << Quote(e.strings[wf::kItemName]) << ": a file beside the package, not in it\n";
      continue;
    }
    const fs::path& rel = targets[i].relative;
    Written w;
    if (targets[i].isFolder) {
      if (fs::create_directories(dir / rel, ec); ec) w = {CannotCreateFolder(dir / rel, ec), true};
      else out << "folder  " << rel.generic_string() << "\n";
    } else if (w = WriteEntry(pkg, reader, e, dir / rel); w.problem.empty()) {
      out << "wrote   " << rel.generic_string() << " (" << fs::file_size(dir / rel, ec) << " bytes)\n";
      ++written;
    }
    if (!w.problem.empty()) {
      out << "not written " << rel.generic_string() << "\n";
      err << me << EntryName(pkg, t, i) << ": " << w.problem << "\n";
      notWritten += !targets[i].isFolder;
      // A file that cannot be written says more than a damaged one.
      if (result != kCannotWrite) result = w.cannotWrite ? kCannotWrite : kDamaged;
    }
  }
  out << written << " file" << (written == 1 ? "" : "s") << " written";
  if (notWritten) out << ", " << notWritten << " not written; each one written is whole and checked";
  out << "\n";
  return result;
}

}  // namespace

ReadResult Extract(const fs::path& setup, const fs::path& dir, size_t index, std::ostream& out, std::ostream& err) {
  return Extract(setup, dir, std::to_string(index + 1), out, err);
}

ReadResult Extract(const fs::path& setup, const fs::path& dir, std::string_view type, std::ostream& out,
                   std::ostream& err) {
  const std::string me = "extract: " + setup.string() + ": ";
  try {
    Package pkg = ReadPackage(setup);
    std::string why;
    std::optional<size_t> t = FindType(pkg, type, &why);
    if (!t) {
      err << me << why << "\n";
      return kBadRequest;
    }
    return ExtractType(pkg, *t, dir, me, out, err);
  } catch (const Damaged& e) {
    err << me << "damaged package: " << e.what() << "\n";
    return kDamaged;
  } catch (const fs::filesystem_error& e) {
    // Only the output side works through the file system's calls.
    err << me << "cannot write " << e.path1().string() << ": " << Reason(e.code().message()) << "\n";
    return kCannotWrite;
  } catch (const std::exception& e) { err << me << e.what() << "\n"; }
  return kUnreadable;
}

}  // namespace wrenly::inspector
