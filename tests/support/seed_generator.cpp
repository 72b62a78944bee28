// Writes small valid packages as the fuzz targets' starting points.
#include <string>

#include "format/block_ids.h"
#include "package_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  PackageImage typical = TypicalPackage(), rich = Craft(TypicalPlan());
  typical.signatureAt = rich.signatureAt = 1020;
  rich.Add(wrenly::format::kBlockSinglePage, Bytes{5, 0, 1, 0});
  for (Block& b : typical.blocks) b.method = 2;
  typical.Write(std::string(argv[1]) + "/typical.exe");
  rich.Write(std::string(argv[1]) + "/rich.exe");
  return 0;
}
