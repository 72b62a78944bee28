// An installed uninstaller: the program, its own data, then the records of
// the installations and one end header marking the whole as complete. Read by
// the uninstaller's own reader, so that what is shown is what it would do.
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "format/container.h"
#include "format/uninstall_log.h"
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

const char* const kTextNames[] = {"place", "title", "question", "removing", "done",
                                  "restart", "partial", "damaged", "running"};
static_assert(std::size(kTextNames) == wf::kUninstallerTextCount);
const char* const kKindWords[] = {"unregister", "file", "shared file", "font", "shortcut",
                                  "group", "folder", "registry key", "registry value", "ini value"};
static_assert(std::size(kKindWords) == wu::kUndoIniValue + 1);
const char* const kRefusalWords[] = {"", "too long", "not a full path", "a component ends in a dot or a space",
                                     "a device name", "a \\\\?\\ or \\\\.\\ prefix", "a stream name",
                                     "a root or a top-level key", "the Windows or the system folder",
                                     "a control character or a wildcard"};
static_assert(std::size(kRefusalWords) == wu::kPathCharacter + 1);
const char* const kRecordWords[] = {"", "it does not end with a complete end header",
                                    "no uninstaller data reads cleanly up to the end",
                                    "a block, count or string runs past its bounds",
                                    "a block holds bytes behind its last field", "a block of an unknown kind",
                                    "no record follows the texts"};
static_assert(std::size(kRecordWords) == wu::kRecordMissing + 1);

bool IsCompleteEnd(wf::ByteView v, uint32_t at) {
  return v.Has(at, wf::block_header::kSize) && wf::LoadU16(v.data + at) == wf::kBlockEnd &&
         (wf::LoadU16(v.data + at + wf::block_header::kFlags) & wf::kEndFlagRecordComplete);
}

std::string Shown(const char* path) {
  std::string p = path;
  size_t n = std::strlen(kPlannedFolder);
  if (p.compare(0, n, kPlannedFolder) == 0 && (p.size() == n || p[n] == '\\')) p.replace(0, n, kShownFolder);
  return Quote(p);
}

void PrintStep(const wu::UndoStep& s, std::ostream& out) {
  out << "  " << kKindWords[s.kind] << " ";
  if (s.kind == wu::kUndoRegistryKey || s.kind == wu::kUndoRegistryValue)
    out << Quote(RootName(s.root) + "\\" + s.path);
  else
    out << Shown(s.path);
  if (s.kind == wu::kUndoRegistryValue) out << " value " << Quote(s.name);
  if (s.kind == wu::kUndoIniValue) out << " [" << Quote(s.name) << "] " << Quote(s.key);
  if (s.refusal) out << " refused: " << kRefusalWords[s.refusal];
  out << "\n";
}

}  // namespace

bool IsInstalledUninstaller(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  uint8_t tail[wf::block_header::kSize];
  if (!in || static_cast<uint64_t>(in.tellg()) < sizeof tail) return false;
  in.seekg(-static_cast<std::streamoff>(sizeof tail), std::ios::end);
  return in.read(reinterpret_cast<char*>(tail), sizeof tail) && IsCompleteEnd({tail, sizeof tail}, 0);
}

void PrintUninstaller(const std::filesystem::path& file, std::ostream& out) {
  if (std::filesystem::file_size(file) > kMaxUninstaller) throw std::runtime_error("too large for an uninstaller");
  std::ifstream in(file, std::ios::binary);
  const Bytes bytes{std::istreambuf_iterator<char>(in), {}};
  const uint32_t size = static_cast<uint32_t>(bytes.size());
  std::vector<std::string> texts;
  wu::RecordVisitor visitor{&texts, [](void* c, uint16_t, wu::TextView t) {
    static_cast<std::vector<std::string>*>(c)->emplace_back(t.text, t.length);
  }, nullptr, nullptr, nullptr};
  wu::UninstallFile found;
  if (wu::RecordRefusal r = wu::ReadUninstallFile(bytes.data(), size, &visitor, &found))
    throw std::runtime_error(std::string("damaged uninstaller, it would remove nothing: ") + kRecordWords[r]);
  wu::UndoPlan plan;
  if (!wu::BuildUndoPlan(bytes.data(), size, {kPlannedFolder, "C:\\Windows", "C:\\Windows\\System32"}, &plan))
    throw std::bad_alloc();
  std::unique_ptr<wu::UndoPlan, void (*)(wu::UndoPlan*)> freed(&plan, wu::FreeUndoPlan);

  out << "uninstaller: " << size << " bytes, program " << found.dataStart << " bytes, records " << found.records
      << "\n";
  for (size_t i = 0; i < texts.size(); ++i)
    out << "text " << i << (i < std::size(kTextNames) ? std::string(" ") + kTextNames[i] : "") << ": "
        << Quote(texts[i]) << "\n";
  out << "would remove, in this order (" << plan.count << " steps):\n";
  for (uint32_t i = 0; i < plan.count; ++i) PrintStep(plan.steps[i], out);
}

}  // namespace wrenly::inspector
