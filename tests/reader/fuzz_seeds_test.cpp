#include <cstdlib>

#include "support.h"

// Runs only under the seed-writing ctest entry, which names the folder.
TEST(FuzzSeeds, WriteCraftedPackages) {
  const char* dir = std::getenv("WRENLY_SEED_DIR");
  if (!dir) GTEST_SKIP() << "WRENLY_SEED_DIR not set";
  fs::create_directories(dir);
  Craft(TypicalSpec()).Write(fs::path(dir) / "typical.exe");
  PackageSpec small;
  small.stubSize = 1024;
  small.blockMethod = 2;
  small.types = {PlainType()};
  small.types[0].files = {{.name = "a.txt", .content = "abc"}, {.name = "b.txt", .content = "xyz", .method = 2}};
  Craft(small).Write(fs::path(dir) / "small.exe");
  EXPECT_TRUE(fs::exists(fs::path(dir) / "small.exe"));
}
