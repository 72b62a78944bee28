#include <cstdlib>

#include "support.h"

// Runs only under the seed-writing ctest entry, which names the folder.
TEST(FuzzSeeds, WriteCraftedPackages) {
  const char* dir = std::getenv("WRENLY_SEED_DIR");
  if (!dir) GTEST_SKIP() << "WRENLY_SEED_DIR not set";
  fs::create_directories(dir);
  craft::PackageSpec typical = craft::TypicalSpec();
  craft::Write(craft::Craft(typical), fs::path(dir) / "typical.exe");
  craft::PackageSpec small;
  small.stubSize = 1024;
  small.blockMethod = 2;
  small.types = {craft::TypeSpec{}};
  small.types[0].lists = {{"a", "", "b"}};
  small.types[0].files = {{.name = "a.txt", .content = "abc"}, {.name = "b.txt", .content = "xyz", .method = 2}};
  craft::Write(craft::Craft(small), fs::path(dir) / "small.exe");
  EXPECT_TRUE(fs::exists(fs::path(dir) / "small.exe"));
}
