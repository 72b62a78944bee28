// wrenly-hostile-package IN.exe OUT.exe EDIT [ID]: a setup program made by
// `wrenly build`, split back into the real stub, its blocks and DataArea,
// with one edit no builder makes; its pages and look stay the builder's.
// EDIT is empty-name, relative-folder (kind 8 to ..\..\k8out) or
// wrong-checksum on the last entry, or lose-block ID (the loader skips it).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "format/block_ids.h"
#include "format/file_entry.h"
#include "package_writer.h"

namespace wf = wrenly::format;
namespace fe = wf::file_entry;

int main(int argc, char** argv) {
  std::string edit = argc >= 4 ? argv[3] : "";
  if (argc != (edit == "lose-block" ? 5 : 4)) {
    fprintf(stderr, "usage: wrenly-hostile-package IN.exe OUT.exe EDIT [ID]\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  PackageImage p = Split(Bytes(std::istreambuf_iterator<char>(in), {}));
  // The last entry of the first file table (the builder puts the
  // uninstaller first), rebuilt from its fixed fields and items.
  Bytes& table = p.Find(wf::kBlockFileTable)->payload;
  wf::FileEntryView e;
  uint32_t n = wf::LoadU32(table.data()), at = wf::file_table::kEntries;
  while (wf::ParseFileEntry({table.data(), static_cast<uint32_t>(table.size())}, at, &e) && --n) at += e.recordSize;
  if (n) throw std::runtime_error("a damaged file table");
  std::vector<std::string> items(e.strings, e.strings + fe::kStringCount);
  Bytes record(e.record, e.record + wf::FileEntryStringsOffset(e.flags));
  if (edit == "empty-name") {
    items[wf::kItemName] = "";
  } else if (edit == "relative-folder") {
    wf::StoreU32(&record[fe::kDestKind], wf::kDestCustom);
    items[wf::kItemFolder] = "..\\..\\k8out";
  } else if (edit == "wrong-checksum") {
    wf::StoreU32(&record[fe::kChecksum], wf::LoadU32(&record[fe::kChecksum]) + 1);
  } else if (edit != "lose-block") {
    fprintf(stderr, "wrenly-hostile-package: no edit '%s'\n", edit.c_str());
    return 2;
  }
  for (auto& item : items) record.insert(record.end(), item.c_str(), item.c_str() + item.size() + 1);
  wf::StoreU32(&record[fe::kRecordSize], record.size());
  table.insert(table.erase(table.begin() + at, table.begin() + at + e.recordSize), record.begin(), record.end());
  for (Block& b : p.blocks)
    if (edit == "lose-block" && b.id == atoi(argv[4])) b.id = 0x7000;
  p.Write(argv[2]);
  return 0;
}
