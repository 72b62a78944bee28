#include <gtest/gtest.h>

#include <string>
#include "builder/version_info.h"
#include "format/bytes.h"
#include "format/writer.h"

namespace wrenly::builder {
namespace {
namespace f = wrenly::format;

void Key(f::ByteWriter& w, const char* key) {
  for (const char* p = key; *p; ++p) w.U16(static_cast<uint8_t>(*p));
  w.U16(0);
  while (w.size() % 4) w.U8(0);
}

// VS_VERSIONINFO with a fixed info and, when `language` is set, a translation.
std::vector<uint8_t> VersionResource(uint32_t ms, uint32_t ls, int language) {
  f::ByteWriter w;
  w.U16(0);
  w.U16(52);
  w.U16(0);
  Key(w, "VS_VERSION_INFO");
  w.U32(0xFEEF04BD);
  w.U32(0x10000);
  w.U32(ms);
  w.U32(ls);
  w.Zeros(36);
  if (language >= 0) {
    uint32_t var = w.size();
    w.U16(0);
    w.U16(0);
    w.U16(1);
    Key(w, "VarFileInfo");
    uint32_t tr = w.size();
    w.U16(0);
    w.U16(4);
    w.U16(0);
    Key(w, "Translation");
    w.U16(static_cast<uint16_t>(language));
    w.U16(1200);
    w.PatchU16(tr, static_cast<uint16_t>(w.size() - tr));
    w.PatchU16(var, static_cast<uint16_t>(w.size() - var));
  }
  w.PatchU16(0, static_cast<uint16_t>(w.size()));
  return w.bytes();
}

// A PE32 or PE32+ image with one .rsrc section holding the version resource.
std::vector<uint8_t> PeImage(const std::vector<uint8_t>& version, bool pe64) {
  const uint32_t rva = 0x1000, raw = 0x200;
  const uint16_t optSize = pe64 ? 240 : 224;
  f::ByteWriter w;
  w.U8('M');
  w.U8('Z');
  w.Zeros(0x3A);
  w.U32(0x40);
  w.U32(0x00004550);
  w.U16(pe64 ? 0x8664 : 0x14C);
  w.U16(1);
  w.Zeros(12);
  w.U16(optSize);
  w.U16(0x102);
  uint32_t opt = w.size();
  w.U16(pe64 ? 0x20B : 0x10B);
  w.Zeros(optSize - 2);
  uint32_t dirs = opt + (pe64 ? 112 : 96);
  // Resource tree: type 16 -> name 1 -> language 0x409 -> data entry.
  f::ByteWriter r;
  auto dir = [&](uint32_t id, uint32_t target) {
    r.Zeros(12);
    r.U16(0);
    r.U16(1);
    r.U32(id);
    r.U32(target);
  };
  dir(16, 0x80000000u | 24);
  dir(1, 0x80000000u | 48);
  dir(0x409, 72);
  r.U32(rva + 88);
  r.U32(static_cast<uint32_t>(version.size()));
  r.U32(0);
  r.U32(0);
  r.Bytes(version);
  w.PatchU32(dirs + 16, rva);
  w.PatchU32(dirs + 20, r.size());
  // Section header.
  w.Bytes(".rsrc\0\0\0", 8);
  w.U32(r.size());
  w.U32(rva);
  w.U32(r.size());
  w.U32(raw);
  w.Zeros(16);
  w.Zeros(raw - w.size());
  w.Bytes(r.bytes());
  return w.bytes();
}

struct VersionCase {
  const char* name;
  std::vector<uint8_t> image;
  bool found;
  uint32_t ms, ls, language;
};

class VersionInfoTest : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionInfoTest, Reads) {
  const auto& c = GetParam();
  VersionInfo info;
  ASSERT_EQ(ReadVersionInfo(c.image, &info), c.found);
  if (!c.found) return;
  EXPECT_EQ(info.versionMS, c.ms);
  EXPECT_EQ(info.versionLS, c.ls);
  EXPECT_EQ(info.language, c.language);
}

std::vector<uint8_t> Truncated(std::vector<uint8_t> v, size_t n) {
  v.resize(n);
  return v;
}

INSTANTIATE_TEST_SUITE_P(
    Images, VersionInfoTest,
    testing::Values(
        VersionCase{"Pe32", PeImage(VersionResource(0x00010002, 0x00030004, 0x409), false), true, 0x00010002,
                    0x00030004, 0x409},
        VersionCase{"Pe64", PeImage(VersionResource(0x00050000, 0x00000007, 0x407), true), true, 0x00050000, 7,
                    0x407},
        VersionCase{"NoTranslation", PeImage(VersionResource(1, 2, -1), false), true, 1, 2, 0},
        VersionCase{"NotAProgram", std::vector<uint8_t>(300, 'x'), false, 0, 0, 0},
        VersionCase{"CutInsideTheResource", Truncated(PeImage(VersionResource(1, 2, 0x409), false), 0x230), false, 0,
                    0, 0},
        VersionCase{"CutInsideTheHeaders", Truncated(PeImage(VersionResource(1, 2, 0x409), false), 0x60), false, 0,
                    0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace wrenly::builder
