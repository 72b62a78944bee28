// Install types: options, folders, pages, texts and the file table.
#include <algorithm>
#include <array>
#include <string>

#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/stub_resources.h"
#include "reader/data_area.h"
#include "reader/entry_paths.h"
#include "reader/names.h"
#include "reader/records_view.h"
#include "reader/report.h"
#include "reader/stream_decoder.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;

bool HasData(const wf::FileEntryView& e) { return !(e.flags & (wf::kFlagFolder | wf::kFlagSourceFolder)); }

bool IsUninstallerEntry(const wf::FileEntryView& e) { return EntryOptions(e) & wf::kOptUninstaller; }

std::string EntryName(const Package& pkg, size_t type, size_t index) {
  return TypeLabel(type) + ", entry " + std::to_string(index) + " " +
         Quote(pkg.types[type].entries[index].strings[wf::kItemName]);
}

std::string DataPlaceProblem(const Package& pkg, const wf::FileEntryView& e) {
  uint64_t end = uint64_t{e.dataOffset} + e.storedLength;
  if (e.storedLength == 0) return "stored length 0, no method byte";
  if (end <= pkg.DataAreaSize()) return "";
  std::string msg = "its data [" + std::to_string(e.dataOffset) + ", " + std::to_string(end) +
                    ") runs past the DataArea (" + std::to_string(pkg.DataAreaSize()) + " bytes)";
  if (!pkg.missingVolume.empty()) msg += "; volume " + pkg.missingVolume.string() + " is missing";
  return msg;
}

void CheckDecoders(const Package& pkg, Problems& problems) {
  constexpr uint8_t kMethods[] = {wf::kMethodZlib, wf::kMethodBzip2, wf::kMethodLzma};
  if (!pkg.stubDecoders) return;
  const uint32_t held = *pkg.stubDecoders;
  auto lacks = [&](uint8_t method) { return wf::MethodBit(method) && !(held & wf::MethodBit(method)); };
  if (std::none_of(std::begin(kMethods), std::end(kMethods), lacks)) return;  // the usual image: nothing to read
  std::string holds;
  for (const char* name : DecoderNames(held)) holds += (holds.empty() ? "" : ", ") + std::string(name);
  const std::string refused = ", which the Installer image cannot decode (it holds " + holds + ")";
  for (const BlockInfo& b : pkg.blocks)
    if (b.compressed && IsKnownBlock(b.id) && b.id != wf::kBlockEnd && b.id != wf::kBlockSinglePage &&
        b.length >= wf::compressed_payload::kHeadSize && lacks(b.method))
      problems.push_back("block " + std::to_string(b.id) + " " + BlockName(b.id) + " is stored with " +
                         MethodName(b.method) + refused);
  // One line a method: a package of thousands of files would repeat it for each.
  struct Refused {
    size_t count = 0;
    std::string first;
  };
  std::array<Refused, 256> entries;  // by method byte
  for (size_t t = 0; t < pkg.types.size(); ++t)
    for (size_t i = 0; i < pkg.types[t].entries.size(); ++i) {
      const wf::FileEntryView& e = pkg.types[t].entries[i];
      if (!HasData(e) || !DataPlaceProblem(pkg, e).empty()) continue;
      uint8_t method = PeekMethod(pkg, e.dataOffset);
      if (lacks(method) && !entries[method].count++) entries[method].first = EntryName(pkg, t, i);
    }
  for (uint8_t method : kMethods)
    if (size_t count = entries[method].count)
      problems.push_back(std::to_string(count) + (count == 1 ? " entry (" : " entries (the first: ") +
                         entries[method].first + (count == 1 ? ") is" : ") are") + " stored with " +
                         MethodName(method) + refused);
}

namespace {

std::string Text(const char* s) { return s ? Quote(s) : "none"; }

void PrintEntry(const Package& pkg, size_t type, size_t i, std::ostream& out, Problems& problems) {
  const wf::FileEntryView& e = pkg.types[type].entries[i];
  out << "    [" << i << "] " << Quote(e.strings[wf::kItemName]) << " -> " << DestKindName(e.kind);
  if (e.kind >= wf::kDestKindCount) out << " (unknown kind " << e.kind << ")";
  else if (e.kind == wf::kDestInstallDirFlat || e.kind == wf::kDestInstallDirFlat6) out << " (name only)";
  if (e.kind == wf::kDestCustom) out << " " << Quote(e.strings[wf::kItemFolder]);
  std::string why;
  if (!(e.flags & wf::kFlagSourceFolder) && !TargetOf(e, &why))
    problems.push_back(EntryName(pkg, type, i) + ": refused name (" + why + ")");
  out << "\n        size " << e.size << ", stored " << e.storedLength << ", at " << e.dataOffset;
  if (HasData(e)) {
    if (std::string problem = DataPlaceProblem(pkg, e); !problem.empty())
      problems.push_back(EntryName(pkg, type, i) + ": " + problem);
    else out << ", " << MethodName(PeekMethod(pkg, e.dataOffset));
  } else {
    out << ", no data";
  }
  out << ", checksum " << Hex(e.checksum) << "\n        flags " << Hex(e.flags) << " (" << EntryFlagWords(e.flags)
      << "), options " << EntryOptionWords(EntryOptions(e));
  if (auto version = ReadEntryVersion(e))
    out << ", version " << version->number << " language " << Hex(version->language, 4);
  out << "\n";
  if (*e.strings[wf::kItemMenuName])
    out << "        start menu: " << Quote(e.strings[wf::kItemMenuGroups]) << " / "
        << Quote(e.strings[wf::kItemMenuName]) << " args " << Quote(e.strings[wf::kItemMenuArgs]) << "\n";
  if (*e.strings[wf::kItemDesktopName])
    out << "        desktop: " << Quote(e.strings[wf::kItemDesktopName]) << " args "
        << Quote(e.strings[wf::kItemDesktopArgs]) << "\n";
  if (EntryRuns(e))
    out << "        run: " << RunWords(e.flags) << ", args " << Quote(e.strings[wf::kItemRunArgs]) << "\n";
}

}  // namespace

void PrintInstallType(const Package& pkg, size_t type, const InspectOptions& options, std::ostream& out,
                      Problems& problems) {
  const InstallTypeData& t = pkg.types[type];
  InstallTypeRecord r = ReadInstallType(View(t.record));
  out << TypeLabel(type) << ": " << t.record.size() << " bytes\n"
      << "  options " << Hex(r.options, 4) << " (" << TypeOptionWords(r.options) << "); more " << Hex(r.moreOptions)
      << " (" << TypeMoreOptionWords(r.moreOptions) << ")\n"
      << "  product " << Text(r.product) << ", type name " << Text(r.typeName) << "\n  default folder "
      << Text(r.defaultFolder) << "\n";
  if (r.folderKey)
    out << "  folder value: " << RootName(r.folderRoot) << "\\" << r.folderKey << " value "
        << (r.folderValue && *r.folderValue ? Quote(r.folderValue) : "(default)") << "\n";
  else out << "  folder value: none\n";
  if (r.iniFile) out << "  ini: " << Quote(r.iniFile) << " [" << Text(r.iniSection) << "] " << Text(r.iniKey) << "\n";
  else out << "  ini: none\n";
  out << "  pages:";
  for (size_t p = 0; p < r.pages.size(); ++p) out << (p ? ", " : " ") << PageName(r.pages[p]);
  out << (r.pagesEnded ? "\n" : " (no end mark)\n");
  if (!r.pagesEnded) problems.push_back(TypeLabel(type) + ": the page sequence has no end mark");
  for (uint32_t n = 0; n < r.messages.size(); ++n) {
    if (!r.messages[n]) {
      out << "  messages " << n << ": none\n";
      continue;
    }
    const std::vector<const char*>& texts = *r.messages[n];
    out << "  messages " << n << ": " << texts.size() << " texts\n";
    for (size_t i = 0; i < texts.size(); ++i)
      out << "    " << n << "/" << i << " " << Quote(texts[i], options.maxTextChars) << "\n";
  }
  if (t.fileTable) {
    out << "  files: " << t.entries.size() << " entries\n";
    for (size_t i = 0; i < t.entries.size(); ++i) PrintEntry(pkg, type, i, out, problems);
  } else {
    out << "  files: no file table\n";
  }
  if (t.sections) out << "  uninstall sections: " << t.sections->size() << " bytes\n";
  else out << "  uninstall sections: none\n";
}

}  // namespace wrenly::inspector
