// Writes small valid packages as the fuzz targets' starting points.
#include <string>

#include "format/block_ids.h"
#include "package_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::string dir = argv[1];
  PackageImage typical = TypicalPackage(), rich = Craft(TypicalSpec());
  typical.signatureAt = rich.signatureAt = 1020;
  rich.Add(wrenly::format::kBlockSinglePage, Bytes{5, 0, 1, 0});
  PackageSpec small;
  small.types = {PlainType()};
  small.types[0].files = {{.name = "a.txt", .content = "abc"}, {.name = "b.txt", .content = "xyz", .method = 2}};
  PackageImage smallImage = Craft(small);
  smallImage.signatureAt = 1024;
  for (Block& b : smallImage.blocks) b.method = 2;
  typical.Write(dir + "/typical.exe");
  rich.Write(dir + "/rich.exe");
  smallImage.Write(dir + "/small.exe");
  return 0;
}
