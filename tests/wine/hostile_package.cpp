// wrenly-hostile-package IN.exe OUT.exe EDIT [ID]: a setup program made by
// `wrenly build`, split back into the real stub, its blocks and DataArea,
// with one edit no builder makes; its pages and look stay the builder's.
//   empty-name        the last entry has no name
//   relative-folder   the last entry goes to a kind-8 folder ..\..\k8out
//   wrong-checksum    the last entry's checksum is one off
//   lose-block ID     blocks of that id carry one the loader does not know
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "format/block_ids.h"
#include "format/file_entry.h"
#include "package_writer.h"

namespace wf = wrenly::format;
namespace fe = wf::file_entry;

namespace {

// Rewrites the last entry of the first file table (the builder puts the
// uninstaller first): `edit` gets its fixed fields and its ten items.
template <class Edit>
void EditLastEntry(PackageImage& p, Edit edit) {
  Bytes& table = p.Find(wf::kBlockFileTable)->payload;
  wf::ByteView view{table.data(), static_cast<uint32_t>(table.size())};
  wf::FileEntryView e;
  uint32_t at = wf::file_table::kEntries;
  for (uint32_t n = wf::LoadU32(table.data()); n > 1; --n, at += e.recordSize)
    if (!wf::ParseFileEntry(view, at, &e)) throw std::runtime_error("a damaged file table");
  if (!wf::ParseFileEntry(view, at, &e)) throw std::runtime_error("no entry");
  std::vector<std::string> items(e.strings, e.strings + fe::kStringCount);
  Bytes record(e.record, e.record + wf::FileEntryStringsOffset(e.flags));
  edit(record.data(), items);
  for (auto& item : items) record.insert(record.end(), item.c_str(), item.c_str() + item.size() + 1);
  wf::StoreU32(&record[fe::kRecordSize], record.size());
  table.insert(table.erase(table.begin() + at, table.begin() + at + e.recordSize), record.begin(), record.end());
}

}  // namespace

int main(int argc, char** argv) {
  std::string edit = argc >= 4 ? argv[3] : "";
  if (argc != (edit == "lose-block" ? 5 : 4)) {
    fprintf(stderr, "usage: wrenly-hostile-package IN.exe OUT.exe empty-name|relative-folder|wrong-checksum\n"
                    "       wrenly-hostile-package IN.exe OUT.exe lose-block ID\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  PackageImage p = Split(Bytes(std::istreambuf_iterator<char>(in), {}));
  if (edit == "empty-name") {
    EditLastEntry(p, [](uint8_t*, auto& items) { items[wf::kItemName] = ""; });
  } else if (edit == "relative-folder") {
    EditLastEntry(p, [](uint8_t* fixed, auto& items) {
      wf::StoreU32(fixed + fe::kDestKind, wf::kDestCustom);
      items[wf::kItemFolder] = "..\\..\\k8out";
    });
  } else if (edit == "wrong-checksum") {
    EditLastEntry(p, [](uint8_t* fixed, auto&) {
      wf::StoreU32(fixed + fe::kChecksum, wf::LoadU32(fixed + fe::kChecksum) + 1);
    });
  } else if (edit == "lose-block") {
    for (Block& b : p.blocks)
      if (b.id == atoi(argv[4])) b.id = 0x7000;  // a block the loader skips
  } else {
    fprintf(stderr, "wrenly-hostile-package: no edit '%s'\n", edit.c_str());
    return 2;
  }
  p.Write(argv[2]);
  return 0;
}
