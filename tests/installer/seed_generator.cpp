// Writes small valid packages as the fuzzer's starting points.
#include <cstdio>
#include <string>

#include "format/block_ids.h"
#include "package_builder.h"

namespace wf = wrenly::format;

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::string dir = argv[1];
  auto write = [&](const char* name, PackageImage p) {
    p.signatureAt = 1020;
    Bytes b = p.Build();
    FILE* f = std::fopen((dir + "/" + name).c_str(), "wb");
    if (!f) return false;
    std::fwrite(b.data(), 1, b.size(), f);
    return std::fclose(f) == 0;
  };
  Bytes title{'T', 'i', 't', 'l', 'e', 0};
  PackageImage typical = TypicalPackage();
  PackageImage rich = TypicalPackage();
  rich.Add(wf::kBlockTitleText, CompressedPayload(6, 1, Zlib(title)), 1)
      .Add(wf::kBlockTitleStyle, CompressedPayload(72, 2, Bzip2(Bytes(72, 1))), 1)
      .Add(wf::kBlockBitmapTable, Bytes{1, 0, 0, 0, 8, 0, 0, 0, 0})
      .Add(wf::kBlockBackgroundVariants, VariantList({{800, 600}, {1024, 768}}))
      .Add(wf::kBlockBackgroundBitmap, Bytes(16, 1))
      .Add(wf::kBlockBackgroundBitmap, Bytes(16, 2))
      .Add(wf::kBlockUninstallSections, Bytes(8, 3));
  PackageImage types = TypicalPackage();
  InstallTypeSpec second;
  second.defaultFolder = "#parent#";
  second.lists[0] = std::vector<std::string>{"Welcome", "", "Hello"};
  types.AddType(second).Add(wf::kBlockFileTable, FileTable(1)).Add(wf::kBlockSinglePage, Bytes{5, 0, 1, 0});
  bool ok = write("typical.exe", typical) && write("rich.exe", rich) && write("types.exe", types);
  return ok ? 0 : 1;
}
