// An installed uninstaller: the program, its own data, then the records of
// the installations and one end header marking the whole as complete. Read by
// the uninstaller's own reader, so that what is shown is what it would do.
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "format/container.h"
#include "format/uninstall_log.h"
#include "reader/damaged.h"
#include "reader/names.h"
#include "reader/report.h"
#include "uninstaller/undo_plan.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;
namespace wu = wrenly::uninstaller;

namespace {

// Big enough for any uninstaller; more is not one.
constexpr uint64_t kMaxUninstaller = 64u << 20;

// Paths below the installation folder are planned below this one and shown
// below the placeholder: the real folder is known only where it is installed.
constexpr char kPlannedFolder[] = "Z:\\(installation folder)";
constexpr char kShownFolder[] = "<installation folder>";

const char* const kTextNames[] = {"place",   "title",   "question", "removing", "done",
                                  "restart", "partial", "damaged",  "running"};
static_assert(std::size(kTextNames) == wf::kUninstallerTextCount);
const char* const kKindWords[] = {"unregister", "file",   "shared file",  "font",           "shortcut",
                                  "group",      "folder", "registry key", "registry value", "ini value"};
static_assert(std::size(kKindWords) == wu::kUndoIniValue + 1);
const char* const kRefusalWords[] = {"",
                                     "too long",
                                     "not a full path",
                                     "a component ends in a dot or a space",
                                     "a device name",
                                     "a \\\\?\\ or \\\\.\\ prefix",
                                     "a stream name",
                                     "a root or a top-level key",
                                     "the Windows or the system folder",
                                     "a control character or a wildcard",
                                     "not below a Start-menu or desktop folder"};
static_assert(std::size(kRefusalWords) == wu::kPathOutsideMenu + 1);
const char* const kRecordWords[] = {"",
                                    "it does not end with a complete end header",
                                    "no uninstaller data reads cleanly up to the end",
                                    "a block, count or string runs past its bounds",
                                    "a block holds bytes behind its last field",
                                    "a block of an unknown kind",
                                    "no record follows the texts"};
static_assert(std::size(kRecordWords) == wu::kRecordMissing + 1);

bool IsCompleteEnd(wf::ByteView v, uint32_t at) {
  return v.Has(at, wf::block_header::kSize) && wf::LoadU16(v.data + at) == wf::kBlockEnd &&
         (wf::LoadU16(v.data + at + wf::block_header::kFlags) & wf::kEndFlagRecordComplete);
}

// A file step's path, its planned folder shown as the placeholder.
std::string Shown(const char* path) {
  std::string p = path;
  size_t n = std::strlen(kPlannedFolder);
  if (p.compare(0, n, kPlannedFolder) == 0 && (p.size() == n || p[n] == '\\')) p.replace(0, n, kShownFolder);
  return p;
}

bool EndsInRecord(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  uint8_t tail[wf::block_header::kSize];
  if (!in || static_cast<uint64_t>(in.tellg()) < sizeof tail) return false;
  in.seekg(-static_cast<std::streamoff>(sizeof tail), std::ios::end);
  return in.read(reinterpret_cast<char*>(tail), sizeof tail) && IsCompleteEnd({tail, sizeof tail}, 0);
}

// A signed uninstaller's record lies in the file beside it.
std::filesystem::path RecordFile(const std::filesystem::path& file) {
  if (EndsInRecord(file)) return file;
  std::filesystem::path beside = file;
  beside.replace_extension(wf::kRecordFileExtension);
  return EndsInRecord(beside) ? beside : file;
}

}  // namespace

bool IsInstalledUninstaller(const std::filesystem::path& file) { return EndsInRecord(RecordFile(file)); }

UninstallerFacts ReadUninstaller(const std::filesystem::path& given) {
  const std::filesystem::path file = RecordFile(given);
  if (std::filesystem::file_size(file) > kMaxUninstaller) throw Damaged("too large for an uninstaller");
  std::ifstream in(file, std::ios::binary);
  const Bytes bytes{std::istreambuf_iterator<char>(in), {}};
  UninstallerFacts facts;
  facts.size = static_cast<uint32_t>(bytes.size());
  wu::RecordVisitor visitor{&facts,
                            [](void* c, uint16_t, wu::TextView t) {
                              static_cast<UninstallerFacts*>(c)->texts.emplace_back(t.text, t.length);
                            },
                            nullptr, nullptr,
                            [](void* c, uint32_t record, const wu::SectionView& s) {
                              if (s.id == wf::kSectionProduct)
                                static_cast<UninstallerFacts*>(c)->products.push_back(
                                    {record, s.architecture, s.scope, s.flags, {s.key.text, s.key.length}});
                            }};
  wu::UninstallFile found;
  if (wu::RecordRefusal r = wu::ReadUninstallFile(bytes.data(), facts.size, &visitor, &found))
    throw Damaged(std::string("damaged uninstaller, it would remove nothing: ") + kRecordWords[r]);
  facts.programSize = found.dataStart;
  facts.records = found.records;
  wu::UndoPlan plan;
  if (!wu::BuildUndoPlan(bytes.data(), facts.size,
                         {kPlannedFolder, "C:\\Windows", "C:\\Windows\\System32", wu::kTypicalMenuFolders,
                          wu::kTypicalMenuFolderCount},
                         &plan))
    throw std::bad_alloc();
  std::unique_ptr<wu::UndoPlan, void (*)(wu::UndoPlan*)> freed(&plan, wu::FreeUndoPlan);
  for (uint32_t i = 0; i < plan.count; ++i) {
    const wu::UndoStep& s = plan.steps[i];
    PlannedStep step{kKindWords[s.kind], {}, {}, {}, {}, s.refusal ? kRefusalWords[s.refusal] : nullptr};
    if (s.kind == wu::kUndoRegistryKey || s.kind == wu::kUndoRegistryValue)
      step.path = RootName(s.root) + "\\" + s.path;
    else step.path = Shown(s.path);
    if (s.kind == wu::kUndoRegistryValue) step.value = s.name;
    if (s.kind == wu::kUndoIniValue) step.section = s.name, step.key = s.key;
    facts.plan.push_back(std::move(step));
  }
  return facts;
}

const char* UninstallerTextName(size_t index) { return index < std::size(kTextNames) ? kTextNames[index] : nullptr; }

void PrintUninstaller(const UninstallerFacts& facts, std::ostream& out) {
  out << "uninstaller: " << facts.size << " bytes, program " << facts.programSize << " bytes, records " << facts.records
      << "\n";
  for (size_t i = 0; i < facts.texts.size(); ++i) {
    const char* name = UninstallerTextName(i);
    out << "text " << i << (name ? std::string(" ") + name : "") << ": " << Quote(facts.texts[i]) << "\n";
  }
  for (const RecordProduct& p : facts.products)
    out << "record " << p.record + 1 << ": architecture " << ArchitectureName(p.architecture) << ", scope "
        << ScopeName(p.scope) << ", id " << Quote(p.id) << ", flags " << Hex(p.flags, 4) << " ("
        << IdentityFlagWords(p.flags) << ")\n";
  out << "would remove, in this order (" << facts.plan.size() << " steps):\n";
  for (const PlannedStep& s : facts.plan) {
    out << "  " << s.kind << " " << Quote(s.path);
    if (s.value) out << " value " << Quote(*s.value);
    if (s.section) out << " [" << Quote(*s.section) << "] " << Quote(*s.key);
    if (s.refusal) out << " refused: " << s.refusal;
    out << "\n";
  }
}

void PrintUninstaller(const std::filesystem::path& file, std::ostream& out) {
  PrintUninstaller(ReadUninstaller(file), out);
}

}  // namespace wrenly::inspector
