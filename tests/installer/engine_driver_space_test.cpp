#include <gtest/gtest.h>

#include "engine_driver_fixture.h"
#include "format/install_type.h"
#include "install/disk_space.h"

namespace {

constexpr uint64_t kTb = 1ull << 40;

TEST(SpaceArithmetic, FreeSpaceInKb) {
  struct { uint64_t bytes; uint32_t kb; } bytes[] = {
      {1023, 0}, {4 * kTb - 3072, 0xFFFFFFFDu}, {100 * kTb, kFreeSpaceHuge},
      {4 * kTb - 1, kFreeSpaceHuge}};  // would read as "unknown" uncapped
  for (auto& c : bytes) EXPECT_EQ(FreeKbFromBytes(c.bytes), c.kb) << c.bytes;
  struct { uint32_t clusterBytes, clusters, kb; } clusters[] = {
      {4096, 100, 400}, {65536, 0xFFFFFFFFu, kFreeSpaceHuge},
      {65536, 1u << 24, 1u << 30}};  // 1 TB: 32-bit products wrap here
  for (auto& c : clusters) EXPECT_EQ(FreeKbFromClusters(c.clusterBytes, c.clusters), c.kb) << c.clusterBytes;
}

TEST(SpaceArithmetic, ShortOfRoom) {
  struct { const char* what; uint64_t total, largest; uint32_t freeKb; bool isShort; } cases[] = {
      {"three 1-byte files on 4 KB clusters need 12 + 4 KB", 12288, 4096, 17, false},
      {"exactly equal free space is not enough", 12288, 4096, 16, true},
      {"largest is rounded to clusters", 8192, 1, 12, true},
      {"unknown never blocks", 1ull << 50, 1, kFreeSpaceUnknown, false},
      {"4 TB or more never blocks", 5 * kTb, 1, kFreeSpaceHuge, false},
      {"a full disk with nothing to install", 0, 0, 0, true},
  };
  for (auto& c : cases) EXPECT_EQ(SpaceIsShort(c.total, c.largest, 4096, c.freeKb), c.isShort) << c.what;
  // What an existing file's clusters take off an entry's need.
  struct { uint32_t size; bool exists; uint32_t existing; uint64_t need; } entries[] = {
      {1, false, 0, 4096}, {10000, true, 5000, 4096}, {5000, true, 10000, 0}, {4000, true, 4096, 0},
      {0xFFFFFFFFu, false, 0, 0x100000000ull}};
  for (auto& c : entries) EXPECT_EQ(EntrySpaceNeed(c.size, c.exists, c.existing, 4096), c.need) << c.size;
}

using FreeSpace = EngineTest;

TEST_F(FreeSpace, QueriesTheRightRoot) {
  struct { const char *path; bool ex, geometry; const char *exQuery, *geometryQuery; uint32_t kb, cluster; } cases[] = {
      {"C:\\Apps\\Demo\\", true, true, "C:\\", "C:\\", 1u << 20, 4},
      {"\\\\server\\share\\dir", true, true, "\\\\server\\share\\dir\\", "\\\\server\\share\\dir\\", 1u << 20, 4},
      {"D:", true, true, "D:", "D:\\", 1u << 20, 4},
      {"C:\\Apps", false, true, "C:\\", "C:\\", 1u << 20, 4},
      // The newer call's figure stands when the geometry fails.
      {"C:\\x", true, false, "C:\\", "C:\\", 1u << 20, 1},
      {"C:\\x", false, false, "C:\\", "C:\\", kFreeSpaceUnknown, 1},
  };
  for (auto& c : cases) {
    Disk = FakeDisk{};
    Disk.hasFreeBytes = c.ex;
    Disk.hasGeometry = c.geometry;
    uint32_t cluster = 0;
    using Q = std::vector<std::string>;
    uint32_t kb = GetFreeDiskSpace(c.path, &cluster);
    EXPECT_EQ(std::tuple(kb, cluster, Disk.freeBytesQueries, Disk.geometryQueries),
              std::tuple(c.kb, c.cluster, Q{c.exQuery}, Q{c.geometryQuery})) << c.path;
  }
  uint32_t cluster = 7;
  EXPECT_EQ(std::pair(GetFreeDiskSpace("", &cluster), cluster), std::pair(kFreeSpaceUnknown, 1u));
  Disk = FakeDisk{};
  // A path of the full 259 bytes still gets its backslash on a share.
  std::string longShare = "\\\\s\\" + std::string(255, 'a');
  EXPECT_EQ(GetFreeDiskSpace(longShare.c_str(), nullptr), 1u << 20);
  EXPECT_EQ(Disk.freeBytesQueries.back(), longShare + "\\");
  EXPECT_TRUE(Disk.geometryQueries.empty()) << "the geometry is not wanted";
}

TEST_F(FreeSpace, PageFiguresCountEveryEntry) {
  InstallTypeFields plan;
  plan.options = wf::kOptCountFilesInFull;
  Load(EntryTable({{1, 0, 4, 0, 0, "a.txt"}, {1, 0, 4, 0, 0, "b.txt"}, {1, 0, 4, 0, 0, "c.txt"},
                   {0, wf::kFlagFolder, 0, 0, 0, "sub\\"}, {9999999, wf::kFlagSourceFolder, 0, 0, 0, "x"}}),
       {}, plan);
  Disk.hasFreeBytes = false;
  Disk.freeClusters = 1025;  // 4 MB and 4 KB of 4 KB clusters
  DiskSpaceFigures f = MeasureDiskSpace(), unknown = DiskSpaceFiguresFrom(kFreeSpaceUnknown, 1048577);
  // Rounded up; 3 x 4 KB plus the source-folder entry's 9,999,999 bytes in clusters.
  EXPECT_EQ(std::pair(f.freeMb, f.requiredMb), std::pair(5u, 10u));
  EXPECT_EQ(std::pair(unknown.freeMb, unknown.requiredMb), std::pair(0u, 2u));
  EXPECT_EQ(DiskSpaceFiguresFrom(kFreeSpaceHuge, 0).freeMb, 4194304u);
}

}  // namespace
