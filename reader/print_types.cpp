// Install types: options, folders, pages, texts and the file table.
#include <string>

#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/message_list.h"
#include "reader/data_area.h"
#include "reader/entry_paths.h"
#include "reader/names.h"
#include "reader/report.h"
#include "reader/stream_decoder.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;
namespace it = wf::install_type;

bool HasData(const wf::FileEntryView& e) { return !(e.flags & (wf::kFlagFolder | wf::kFlagSourceFolder)); }

bool IsUninstallerEntry(const wf::FileEntryView& e) {
  return wf::LoadU16(e.record + wf::file_entry::kStatus) & wf::kOptUninstaller;
}

std::string EntryName(const Package& pkg, size_t type, size_t index) {
  return "install type " + std::to_string(type) + ", entry " + std::to_string(index) + " " +
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

namespace {

// A string field of a checked record, or null when absent.
const char* Field(wf::ByteView r, uint32_t field) {
  uint32_t at = 0;
  r.U32(field, &at);
  return at ? r.CString(at) : nullptr;
}

std::string Text(const char* s) { return s ? Quote(s) : "none"; }

void PrintEntry(const Package& pkg, size_t type, size_t i, std::ostream& out, Problems& problems) {
  const wf::FileEntryView& e = pkg.types[type].entries[i];
  uint16_t status = wf::LoadU16(e.record + wf::file_entry::kStatus);
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
    else
      out << ", " << MethodName(PeekMethod(pkg, e.dataOffset));
  } else {
    out << ", no data";
  }
  out << ", checksum " << Hex(e.checksum) << "\n        flags " << Hex(e.flags) << " (" << EntryFlagWords(e.flags)
      << "), options " << EntryOptionWords(status);
  if (e.versionBlock) {
    uint32_t ms = wf::LoadU32(e.versionBlock + wf::file_entry::version::kVersionMS);
    uint32_t ls = wf::LoadU32(e.versionBlock + wf::file_entry::version::kVersionLS);
    out << ", version " << (ms >> 16) << "." << (ms & 0xFFFF) << "." << (ls >> 16) << "." << (ls & 0xFFFF)
        << " language " << Hex(wf::LoadU32(e.versionBlock + wf::file_entry::version::kLanguage), 4);
  }
  out << "\n";
  if (*e.strings[wf::kItemMenuName])
    out << "        start menu: " << Quote(e.strings[wf::kItemMenuGroups]) << " / "
        << Quote(e.strings[wf::kItemMenuName]) << " args " << Quote(e.strings[wf::kItemMenuArgs]) << "\n";
  if (*e.strings[wf::kItemDesktopName])
    out << "        desktop: " << Quote(e.strings[wf::kItemDesktopName]) << " args "
        << Quote(e.strings[wf::kItemDesktopArgs]) << "\n";
  if (e.flags & (wf::kFlagRunKindMask | wf::kFlagRunDocument | wf::kFlagRunWait | wf::kFlagRunAfterRestart))
    out << "        run: " << RunWords(e.flags) << ", args " << Quote(e.strings[wf::kItemRunArgs]) << "\n";
}

}  // namespace

void PrintInstallType(const Package& pkg, size_t type, const InspectOptions& options, std::ostream& out,
                      Problems& problems) {
  const InstallTypeData& t = pkg.types[type];
  auto r = View(t.record);
  uint16_t opts = 0;
  uint32_t more = 0, root = 0;
  r.U16(it::kOptions, &opts);
  r.U32(it::kMoreOptions, &more);
  r.U32(it::kFolderRoot, &root);
  out << "install type " << type << ": " << t.record.size() << " bytes\n"
      << "  options " << Hex(opts, 4) << " (" << TypeOptionWords(opts) << "); more " << Hex(more) << " ("
      << TypeMoreOptionWords(more) << ")\n"
      << "  product " << Text(Field(r, it::kProductName)) << ", type name " << Text(Field(r, it::kTypeName))
      << "\n  default folder " << Text(Field(r, it::kDefaultFolder)) << "\n";
  if (const char* key = Field(r, it::kFolderKey)) {
    const char* name = Field(r, it::kFolderValue);
    out << "  folder value: " << RootName(root) << "\\" << key << " value "
        << (name && *name ? Quote(name) : "(default)") << "\n";
  } else {
    out << "  folder value: none\n";
  }
  const char* ini = Field(r, it::kIniFile);
  if (ini)
    out << "  ini: " << Quote(ini) << " [" << Text(Field(r, it::kIniSection)) << "] "
        << Text(Field(r, it::kIniKey)) << "\n";
  else out << "  ini: none\n";
  out << "  pages:";
  bool ended = false;
  for (uint32_t p = 0; p < it::kPageSequenceSize; ++p) {
    uint8_t kind = t.record[it::kPageSequence + p];
    if (kind == it::kSequenceEnd) { ended = true; break; }
    out << (p ? ", " : " ") << PageName(kind);
  }
  out << (ended ? "\n" : " (no end mark)\n");
  if (!ended) problems.push_back("install type " + std::to_string(type) + ": the page sequence has no end mark");
  for (uint32_t n = 0; n < it::kMessageListCount; ++n) {
    uint32_t at = 0;
    r.U32(it::kMessageLists + 4 * n, &at);
    if (at == 0) {
      out << "  messages " << n << ": none\n";
      continue;
    }
    uint16_t count = wf::LoadU16(t.record.data() + at);
    out << "  messages " << n << ": " << count << " texts\n";
    for (uint16_t i = 0; i < count; ++i)
      out << "    " << n << "/" << i << " "
          << Quote(wf::FindMessageItem(t.record.data() + at, i), options.maxTextChars) << "\n";
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
