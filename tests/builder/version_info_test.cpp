#include <gtest/gtest.h>

#include "builder/version_info.h"
#include "format/writer.h"

namespace wrenly::builder {
namespace {
namespace f = wrenly::format;

// A version block: u16 length, value length and type, the key in UTF-16 padded to four bytes.
uint32_t Node(f::ByteWriter& w, uint16_t valueLength, uint16_t type, const char* key) {
  uint32_t at = w.size();
  for (uint16_t v : {uint16_t{0}, valueLength, type}) w.U16(v);
  for (const char* p = key; *p; ++p) w.U16(static_cast<uint8_t>(*p));
  w.U16(0);
  while (w.size() % 4) w.U8(0);
  return at;
}

// VS_VERSIONINFO with a fixed info and, unless `language` is negative, a translation.
std::vector<uint8_t> VersionResource(uint32_t ms, uint32_t ls, int language) {
  f::ByteWriter w;
  Node(w, 52, 0, "VS_VERSION_INFO");
  for (uint32_t v : {0xFEEF04BDu, 0x10000u, ms, ls}) w.U32(v);
  w.Zeros(36);
  if (language >= 0) {
    uint32_t var = Node(w, 0, 1, "VarFileInfo"), tr = Node(w, 4, 0, "Translation");
    w.U16(static_cast<uint16_t>(language));
    w.U16(1200);
    w.PatchU16(tr, static_cast<uint16_t>(w.size() - tr));
    w.PatchU16(var, static_cast<uint16_t>(w.size() - var));
  }
  w.PatchU16(0, static_cast<uint16_t>(w.size()));
  return w.bytes();
}

// A PE32 or PE32+ image with one .rsrc section holding the version resource, cut to `keep` bytes.
std::vector<uint8_t> PeImage(const std::vector<uint8_t>& version, bool pe64, size_t keep = SIZE_MAX) {
  const uint32_t rva = 0x1000, raw = 0x200;
  const uint16_t optSize = pe64 ? 240 : 224;
  f::ByteWriter w;
  w.Bytes("MZ", 2);
  w.Zeros(0x3A);
  for (uint32_t v : {0x40u, 0x00004550u}) w.U32(v);  // e_lfanew, "PE\0\0"
  for (uint16_t v : {uint16_t(pe64 ? 0x8664 : 0x14C), uint16_t{1}}) w.U16(v);
  w.Zeros(12);
  for (uint16_t v : {optSize, uint16_t{0x102}, uint16_t(pe64 ? 0x20B : 0x10B)}) w.U16(v);
  uint32_t dirs = w.size() - 2 + (pe64 ? 112 : 96);
  w.Zeros(optSize - 2);
  // Resource tree: type 16 -> name 1 -> language 0x409 -> data entry.
  f::ByteWriter r;
  for (auto [id, target] : {std::pair{16u, 0x80000018u}, {1u, 0x80000030u}, {0x409u, 72u}}) {
    r.Zeros(12);
    for (uint32_t v : {1u << 16, id, target}) r.U32(v);  // no named entries, one id entry
  }
  for (uint32_t v : {rva + 88, static_cast<uint32_t>(version.size()), 0u, 0u}) r.U32(v);
  r.Bytes(version);
  w.PatchU32(dirs + 16, rva);
  w.PatchU32(dirs + 20, r.size());
  w.Bytes(".rsrc\0\0\0", 8);
  for (uint32_t v : {r.size(), rva, r.size(), raw}) w.U32(v);
  w.Zeros(16);
  w.Zeros(raw - w.size());
  w.Bytes(r.bytes());
  auto image = w.bytes();
  image.resize(std::min(keep, image.size()));
  return image;
}

TEST(VersionInfo, ReadsVersionAndLanguageAndRefusesWhatIsNotThere) {
  struct {
    const char* name;
    std::vector<uint8_t> image;
    bool found;
    uint32_t ms, ls, language;
  } cases[] = {
      {"Pe32", PeImage(VersionResource(0x00010002, 0x00030004, 0x409), false), true, 0x00010002, 0x00030004, 0x409},
      {"Pe64", PeImage(VersionResource(0x00050000, 7, 0x407), true), true, 0x00050000, 7, 0x407},
      {"NoTranslation", PeImage(VersionResource(1, 2, -1), false), true, 1, 2, 0},
      {"NotAProgram", std::vector<uint8_t>(300, 'x'), false},
      {"CutInsideTheResource", PeImage(VersionResource(1, 2, 0x409), false, 0x230), false},
      {"CutInsideTheHeaders", PeImage(VersionResource(1, 2, 0x409), false, 0x60), false}};
  for (const auto& c : cases) {
    VersionInfo info;
    ASSERT_EQ(ReadVersionInfo(c.image, &info), c.found) << c.name;
    if (c.found) EXPECT_EQ(std::tuple(info.versionMS, info.versionLS, info.language), std::tuple(c.ms, c.ls, c.language)) << c.name;
  }
}

}  // namespace
}  // namespace wrenly::builder
