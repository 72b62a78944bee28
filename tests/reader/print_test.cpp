#include <fstream>

#include "builder/records.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/install_type.h"
#include "support.h"

namespace wf = wrenly::format;

namespace {

// What matters of the typical package, in every layout the reader must accept: stubs up to
// the signature window's limit, both block methods, the DataArea split so that entries cross volumes.
TEST(Typical, InspectShowsWhatMattersInEveryLayout) {
  const std::tuple<uint32_t, uint8_t, uint32_t> cases[] = {
      {2048, 1, 0}, {1020, 2, 0}, {wf::kMaxStubSize, 0, 0}, {2048, 1, 97}};  // stub size, block method, volume size
  for (auto [stubSize, blockMethod, volumeSize] : cases) {
    PackageImage image = Craft(TypicalPlan());
    image.signatureAt = stubSize;
    image.volumeSize = volumeSize;
    for (Block& b : image.blocks) b.method = blockMethod;
    wf::StoreU32(&image.Find(wf::kBlockInstallType)->payload[wf::install_type::kMessageLists + 8], 0);  // no list 2
    fs::path setup = image.Write(EmptyScratch() / "setup.exe");
    Outcome r = InspectFile(setup, true);
    ASSERT_TRUE(r.code == 0 && r.err.empty()) << r.err;
    const std::string expected[] = {  // what the builder's round trip leaves out
        "stub: " + std::to_string(stubSize) + " bytes; signature at offset " + std::to_string(stubSize) +
            "; first block at " + std::to_string(stubSize + 6),
        "flags 0x0000000E (background, gradient, maximised)", "dialog font \"Arial\" height -11 weight 400",
        "text-box at (16,12)-(474,228)", "#2 at 76: 1 x 1", "background variants: 1: 1024 x 768",
        "background bitmap 0: 102 bytes, 4 x 4, 24 bits per pixel", "title: \"Demo Product\\nSetup\"",
        "uninstaller image: 20 bytes", "folder value: HKEY_LOCAL_MACHINE\\Software\\Demo value \"Path\"",
        "pages: welcome, information, destination, ready, progress, finish\n",
        "0/2 \"This installs Demo.\\nClick Next.\"", "messages 2: none", "[1] \"data\\img\\a.bmp\" -> install", "bzip2",
        "[3] \"sys\\x.dll\" -> windows", "(version-check, shared)", "version 1.2.3.4 language 0x0409",
        "-> custom \"#CommonFiles#\\Acme\"", "run: after install, wait, args \"/quiet\"", "(source-folder)",
        "uninstall sections: 17 bytes", "\"flat\\name.txt\" -> install (name only)", "(times)",
        "verify: 8 entries decoded, 0 with problems",
        volumeSize ? "in " + std::to_string(image.Volumes().size() + 1) + " parts" : ""};
    for (const auto& s : expected) EXPECT_NE(r.out.find(s), std::string::npos) << "missing: " << s << "\n" << r.out;
    EXPECT_NE(InspectFile(setup, false, 7).out.find("0/0 \"Welcome...\""), std::string::npos);
  }
}

// A damaged installed uninstaller is reported as such, and nothing is planned.
TEST(Uninstaller, DamagedShowsNoPlan) {
  Bytes file = wrenly::builder::BuildUninstallerData({}),
        record = Words({wf::kUninstallFiles, 4, 1, wf::kBlockEnd | wf::kEndFlagRecordComplete << 16, 0});
  file.resize(file.size() - wf::block_header::kSize);  // the end header that a record replaces
  file.insert(file.end(), record.begin(), record.end());  // one file counted, none there
  fs::path path = EmptyScratch() / "uninstall.exe";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
  Outcome r = InspectFile(path, false);
  EXPECT_EQ(r.out + r.err, "inspect: " + path.string() + ": damaged uninstaller, it would remove "
            "nothing: a block, count or string runs past its bounds\n");
}

}  // namespace
