#include "format/container.h"
#include "support.h"

namespace {

TEST(Typical, InspectShowsWhatMatters) {
  fs::path setup = Craft(TypicalSpec()).Write(ScratchDir() / "setup.exe");
  Outcome r = InspectFile(setup, false);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::string expected[] = {
      "stub: 2048 bytes; signature at offset 2048; first block at 2054",
      "5173 SetupSettings, flags 0x0001", "5182 InstallType", "32639 EndBlock",
      "flags 0x0000000C (gradient, maximised)", "wizard 490 x 348",
      "dialog font \"Arial\" height -11 weight 400", "3 button records", "control id 1045 class 3",
      "layout welcome at", "side width 139", "layout information at",
      "control id 1000 class 15 style 0x50000804 ex 0x00000000 at (8,8)-(fill page)",
      "#1 at 12: 3 x 2, 24 bits per pixel", "#2: none", "background variants: 1: 1024 x 768",
      "background bitmap 0: 102 bytes, 4 x 4, 24 bits per pixel", "title: \"Demo Product\\nSetup\"",
      "uninstaller image: 20 bytes", "install type 0:", "options 0x0022 (folder-editable, register-uninstall)",
      "product \"Demo Product\", type name \"Full\"", "folder value: HKEY_LOCAL_MACHINE\\Software\\Demo value \"Path\"",
      "pages: welcome, information, destination, ready, progress, finish\n",
      "0/2 \"This installs Demo.\\nClick Next.\"", "messages 2: none", "8/1 \"&Next >\"",
      "[0] \"readme.txt\" -> install", "start menu: \"Demo\" / \"Readme\"", "desktop: \"Readme\"",
      "[1] \"data\\img\\a.bmp\" -> install", "bzip2", "[3] \"sys\\x.dll\" -> windows", "(version-check, shared)",
      "version 1.2.3.4 language 0x0409", "-> custom \"#CommonFiles#\\Acme\"", "run: after install, wait, args \"/quiet\"",
      "(source-folder)", "options uninstaller", "uninstall sections: 17 bytes", "install type 1:",
      "default folder \"#parent#\"", "pages: welcome, progress, finish\n",
      "\"flat\\name.txt\" -> install (name only)", "(times)", "data area: ", "total ",
  };
  for (const auto& s : expected) EXPECT_NE(r.out.find(s), std::string::npos) << "missing: " << s << "\n" << r.out;
  EXPECT_NE(InspectFile(setup, false, 7).out.find("0/0 \"Welcome...\""), std::string::npos);
}

// Layouts the reader must accept: the DataArea split at different sizes
// (entries crossing into volumes), both block methods, stubs of several
// sizes up to the signature window's limit.
struct LayoutCase {
  const char* name;
  uint32_t stubSize;
  uint8_t blockMethod;
  uint32_t volumeSize;
};

class Layouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layouts, VerifyPassesAndVolumesAreListed) {
  const LayoutCase& c = GetParam();
  PackageImage image = Craft(TypicalSpec());
  image.signatureAt = c.stubSize;
  image.volumeSize = c.volumeSize;
  for (Block& b : image.blocks) b.method = c.blockMethod;
  size_t volumes = image.Volumes().size();
  ASSERT_EQ(volumes > 0, c.volumeSize > 0);
  Outcome r = InspectFile(image.Write(ScratchDir() / "setup.exe"), true);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("verify: 8 entries decoded, 0 with problems"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("signature at offset " + std::to_string(c.stubSize)), std::string::npos);
  if (volumes) {
    EXPECT_NE(r.out.find("volume setup.D01: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("in " + std::to_string(volumes + 1) + " parts"), std::string::npos) << r.out;
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, Layouts,
    ::testing::Values(LayoutCase{"plain", 2048, 1, 0}, LayoutCase{"bzip2_blocks", 1020, 2, 0},
                      LayoutCase{"stored_blocks", 4096, 0, 0},
                      LayoutCase{"max_stub", wrenly::format::kMaxStubSize, 1, 0},
                      LayoutCase{"few_volumes", 2048, 1, 4000}, LayoutCase{"many_volumes", 2048, 1, 97}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
