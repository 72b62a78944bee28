#include "builder/version_info.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "test_project.h"

namespace wrenly::builder {
namespace {

// The demo program of each Windows flavour (a PE32 and a PE32+ image) carries
// examples/demo/app/demo.rc: version 1.0.0.0, English after a StringFileInfo block.
TEST(VersionInfo, ReadsTheDemoProgramsAndRefusesCutCopies) {
  for (const char* dir : {WRENLY_WIN32_DIR, WRENLY_WIN64_DIR}) {
    std::filesystem::path demo = std::string(dir) + "/examples/demo/app/demo.exe";
    if (!std::filesystem::exists(demo)) GTEST_SKIP() << dir << ": the Windows flavour is not built";
    Bytes image = ToBytes(ReadAll(demo));
    VersionInfo info;
    ASSERT_TRUE(ReadVersionInfo(image, &info)) << dir;
    EXPECT_EQ(std::tuple(info.versionMS, info.versionLS, info.language), std::tuple(0x10000u, 0u, 0x409u)) << dir;
    const char16_t key[] = u"VS_VERSION_INFO";
    auto resource = std::search(image.begin(), image.end(), reinterpret_cast<const uint8_t*>(key),
                                reinterpret_cast<const uint8_t*>(key) + sizeof key - 2);
    ASSERT_NE(resource, image.end()) << dir;
    for (auto end : {resource + 40, image.begin() + 0x60})
      EXPECT_FALSE(ReadVersionInfo({image.begin(), end}, &info)) << dir << " cut to " << end - image.begin();
  }
}

}  // namespace
}  // namespace wrenly::builder
