#include <gtest/gtest.h>

#include "engine_driver_fixture.h"
#include "install/disk_space.h"

namespace {

constexpr uint64_t kTb = 1ull << 40;

TEST(SpaceArithmetic, FreeSpaceInKb) {
  struct {
    uint64_t bytes;
    uint32_t kb;
  } bytes[] = {{0, 0},
               {1023, 0},
               {5ull << 30, 5u << 20},
               {4 * kTb, kFreeSpaceHuge},
               {4 * kTb - 1, kFreeSpaceHuge},  // would read as "unknown" uncapped
               {4 * kTb - 2048, kFreeSpaceHuge},
               {4 * kTb - 3072, 0xFFFFFFFDu},
               {100 * kTb, kFreeSpaceHuge}};
  for (auto& c : bytes) EXPECT_EQ(FreeKbFromBytes(c.bytes), c.kb) << c.bytes;
  struct {
    uint32_t clusterBytes, clusters, kb;
  } clusters[] = {{4096, 100, 400},
                  {512, 3, 1},
                  {65536, 1u << 24, 1u << 30},  // 1 TB: 32-bit products wrap here
                  {65536, 0xFFFFFFFFu, kFreeSpaceHuge},
                  {0, 1000, 0}};
  for (auto& c : clusters) EXPECT_EQ(FreeKbFromClusters(c.clusterBytes, c.clusters), c.kb) << c.clusterBytes;
}

TEST(SpaceArithmetic, ShortOfRoom) {
  struct {
    const char* what;
    uint64_t total, largest;
    uint32_t freeKb;
    bool isShort;
  } cases[] = {
      {"three 1-byte files on 4 KB clusters need 12 + 4 KB", 12288, 4096, 17, false},
      {"exactly equal free space is not enough", 12288, 4096, 16, true},
      {"largest is rounded to clusters", 8192, 1, 12, true},
      {"largest is rounded to clusters, room left", 8192, 1, 13, false},
      {"unknown never blocks", 1ull << 50, 1, kFreeSpaceUnknown, false},
      {"4 TB or more never blocks", 5 * kTb, 1, kFreeSpaceHuge, false},
      {"nothing to install", 0, 0, 1, false},
      {"a full disk with nothing to install", 0, 0, 0, true},
  };
  for (auto& c : cases) EXPECT_EQ(SpaceIsShort(c.total, c.largest, 4096, c.freeKb), c.isShort) << c.what;
}

TEST(SpaceArithmetic, EntryNeedAgainstExistingFile) {
  struct {
    uint32_t size;
    bool exists;
    uint32_t existing;
    uint64_t need;
  } cases[] = {{1, false, 0, 4096},      {0, false, 0, 0},        {4097, false, 0, 8192},
               {10000, true, 5000, 4096}, {5000, true, 10000, 0}, {4000, true, 4096, 0},
               {0xFFFFFFFFu, false, 0, 0x100000000ull}};
  for (auto& c : cases) EXPECT_EQ(EntrySpaceNeed(c.size, c.exists, c.existing, 4096), c.need) << c.size;
}

TEST(SpaceArithmetic, PageFigures) {
  struct {
    uint32_t freeKb;
    uint64_t required;
    uint32_t freeMb, requiredMb;
  } cases[] = {{kFreeSpaceHuge, 0, 4194304, 0}, {kFreeSpaceUnknown, 1, 0, 1}, {1, 1048576, 1, 1},
               {1024, 1048577, 1, 2},           {1025, 3 * 4096, 2, 1}};
  for (auto& c : cases) {
    DiskSpaceFigures f = DiskSpaceFiguresFrom(c.freeKb, c.required);
    EXPECT_EQ(f.freeMb, c.freeMb) << c.freeKb;
    EXPECT_EQ(f.requiredMb, c.requiredMb) << c.required;
  }
}

using FreeSpace = EngineTest;

TEST_F(FreeSpace, QueriesTheRightRoot) {
  struct {
    const char* path;
    bool hasEx, hasGeometry;
    const char *exQuery, *geometryQuery;
    uint32_t kb, clusterKb;
  } cases[] = {
      {"C:\\Apps\\Demo\\", true, true, "C:\\", "C:\\", 1u << 20, 4},
      {"C:\\", true, true, "C:\\", "C:\\", 1u << 20, 4},
      {"\\\\server\\share\\dir", true, true, "\\\\server\\share\\dir\\", "\\\\server\\share\\dir\\", 1u << 20, 4},
      {"D:", true, true, "D:", "D:\\", 1u << 20, 4},
      {"C:\\Apps", false, true, "C:\\", "C:\\", 1u << 20, 4},
      // The newer call's figure stands when the geometry fails.
      {"C:\\x", true, false, "C:\\", "C:\\", 1u << 20, 1},
      {"C:\\x", false, false, "C:\\", "C:\\", kFreeSpaceUnknown, 1},
  };
  for (auto& c : cases) {
    ResetFakeDisk();
    Disk.hasFreeBytes = c.hasEx;
    Disk.hasGeometry = c.hasGeometry;
    uint32_t cluster = 0;
    EXPECT_EQ(GetFreeDiskSpace(c.path, &cluster), c.kb) << c.path;
    EXPECT_EQ(cluster, c.clusterKb) << c.path;
    EXPECT_EQ(Disk.freeBytesQueries, std::vector<std::string>{c.exQuery}) << c.path;
    EXPECT_EQ(Disk.geometryQueries, std::vector<std::string>{c.geometryQuery}) << c.path;
  }
  uint32_t cluster = 7;
  EXPECT_EQ(GetFreeDiskSpace("", &cluster), kFreeSpaceUnknown);
  EXPECT_EQ(cluster, 1u);
  ResetFakeDisk();
  EXPECT_EQ(GetFreeDiskSpace("C:\\x", nullptr), 1u << 20);
  EXPECT_TRUE(Disk.geometryQueries.empty()) << "the geometry is not wanted";
  // A path of the full 259 bytes still gets its backslash on a share.
  std::string longShare = "\\\\s\\" + std::string(255, 'a');
  EXPECT_EQ(GetFreeDiskSpace(longShare.c_str(), nullptr), 1u << 20);
  EXPECT_EQ(Disk.freeBytesQueries.back(), longShare + "\\");
}

TEST_F(FreeSpace, PageFiguresCountEveryEntryInFull) {
  InstallTypeSpec plan;
  plan.options = wf::kOptCountFilesInFull;
  Load({{1, 0, 4, 0, 0, "a.txt"}, {1, 0, 4, 0, 0, "b.txt"}, {1, 0, 4, 0, 0, "c.txt"},
        {0, wf::kFlagFolder, 0, 0, 0, "sub\\"}, {9999999, wf::kFlagSourceFolder, 0, 0, 0, "x"}},
       {}, plan);
  Disk.hasFreeBytes = false;
  Disk.freeClusters = 1024;  // 4 MB of 4 KB clusters
  DiskSpaceFigures f = MeasureDiskSpace();
  EXPECT_EQ(f.freeMb, 4u);
  // 3 x 4 KB plus the source-folder entry's 9,999,999 bytes in clusters.
  EXPECT_EQ(f.requiredMb, 10u);
  EXPECT_TRUE(Disk.lookups.empty()) << "counting in full looks at no file";
}

}  // namespace
