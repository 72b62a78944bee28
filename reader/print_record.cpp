// An installed uninstaller: the program, its own data, then the records of
// the installations, each from its files block to its sections, and one end
// header marking the whole as complete.
#include <fstream>
#include <iterator>
#include <string>

#include "format/block_ids.h"
#include "format/container.h"
#include "format/uninstall_log.h"
#include "reader/damaged.h"
#include "reader/names.h"
#include "reader/report.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;

namespace {

// Big enough for any uninstaller; more is not one.
constexpr uint64_t kMaxUninstaller = 64u << 20;

struct Reader {
  wf::ByteView v;
  uint32_t at;
  std::string what;
  uint32_t U32() {
    uint32_t x;
    if (!v.U32(at, &x)) Fail();
    return at += 4, x;
  }
  uint8_t U8() {
    uint8_t x;
    if (!v.U8(at, &x)) Fail();
    return ++at, x;
  }
  std::string Field() {
    uint16_t n;
    if (!v.U16(at, &n) || !v.Has(at + 2, n)) Fail();
    std::string s(reinterpret_cast<const char*>(v.data + at + 2), n);
    return at += 2 + n, s;
  }
  [[noreturn]] void Fail() { throw Damaged(what + " runs past its block"); }
};

bool IsCompleteEnd(wf::ByteView v, uint32_t at) {
  return v.Has(at, wf::block_header::kSize) && wf::LoadU16(v.data + at) == wf::kBlockEnd &&
         (wf::LoadU16(v.data + at + wf::block_header::kFlags) & wf::kEndFlagRecordComplete);
}

// Where the uninstaller's own data begins: the first block whose chain of
// blocks ends exactly in the final end header. Each offset is judged once.
uint32_t FindDataStart(wf::ByteView v) {
  uint32_t end = v.size - wf::block_header::kSize;
  std::vector<char> chains(end + 1, 0);
  chains[end] = 1;
  for (uint32_t at = end; at-- > 0;) {
    if (end - at < wf::block_header::kSize) continue;
    uint32_t length = wf::LoadU32(v.data + at + wf::block_header::kLength);
    chains[at] = length <= end - at - wf::block_header::kSize && chains[at + wf::block_header::kSize + length];
  }
  for (uint32_t at = 0; at < end; ++at) {
    uint16_t id = wf::LoadU16(v.data + at);
    if (chains[at] && wf::LoadU16(v.data + at + 2) == 0 && (id == wf::kUninstallTexts || id == wf::kUninstallFiles))
      return at;
  }
  throw Damaged("no uninstaller data before the final end header");
}

void PrintFiles(wf::ByteView payload, uint32_t offset, std::ostream& out) {
  Reader r{payload, 0, "files block at " + std::to_string(offset)};
  uint32_t count = r.U32();
  out << "  files: " << count << "\n";
  for (uint32_t i = 0; i < count; ++i) {
    std::string folder = r.Field(), name = r.Field();
    out << "    " << Quote(folder) << " " << Quote(name) << " kind " << Hex(r.U8(), 2) << "\n";
  }
}

void PrintShortcuts(wf::ByteView payload, uint32_t offset, std::ostream& out) {
  Reader r{payload, 0, "shortcuts block at " + std::to_string(offset)};
  uint32_t count = r.U32();
  out << "  shortcuts: " << count << "\n";
  for (uint32_t i = 0; i < count; ++i) {
    unsigned depth = r.U8();
    std::string folder = r.Field(), name = r.Field();
    out << "    depth " << depth << " " << Quote(folder) << " " << Quote(name) << "\n";
  }
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
  if (std::filesystem::file_size(file) > kMaxUninstaller) throw Damaged("too large for an uninstaller");
  std::ifstream in(file, std::ios::binary);
  Bytes bytes{std::istreambuf_iterator<char>(in), {}};
  wf::ByteView v = View(bytes);
  uint32_t at = FindDataStart(v), end = v.size - wf::block_header::kSize, records = 0;
  out << "uninstaller: " << v.size << " bytes, program " << at << " bytes\n";
  auto close = [&](uint32_t to) {
    if (records) out << "  record " << records << " ends at " << to << "\n";
  };
  for (; at < end;) {
    wf::BlockHeader h = wf::ParseBlockHeader(v.data + at);
    wf::ByteView payload = v.Sub(at + wf::block_header::kSize, h.length);
    if (h.id == wf::kUninstallFiles) {
      close(at);
      out << "record " << ++records << " at " << at << "\n";
      PrintFiles(payload, at, out);
    } else if (h.id == wf::kUninstallShortcuts) {
      PrintShortcuts(payload, at, out);
    } else if (h.id == wf::kUninstallTexts) {
      out << "uninstaller data at " << at << ", " << h.length << " bytes\n";
    } else {
      out << "  section " << Hex(h.id, 4) << " at " << at << ", " << h.length << " bytes\n";
    }
    at += wf::block_header::kSize + h.length;
  }
  close(end);
  out << "end at " << end << ", flags " << Hex(wf::LoadU16(v.data + end + wf::block_header::kFlags), 4) << "\n";
}

}  // namespace wrenly::inspector
