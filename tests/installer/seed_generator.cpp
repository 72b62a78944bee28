// Writes small valid packages as the fuzzer's starting points.
#include <string>

#include "format/block_ids.h"
#include "package_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::string dir = argv[1];
  PackageImage typical = TypicalPackage(), rich = Craft(TypicalSpec());
  typical.signatureAt = rich.signatureAt = 1020;
  rich.Add(wrenly::format::kBlockSinglePage, Bytes{5, 0, 1, 0});
  typical.Write(dir + "/typical.exe");
  rich.Write(dir + "/rich.exe");
  return 0;
}
