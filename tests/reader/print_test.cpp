#include <fstream>

#include "builder/records.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/install_type.h"
#include "format/product_identity.h"
#include "format/uninstall_log.h"
#include "reader/json_writer.h"
#include "support.h"

namespace wf = wrenly::format;

namespace {

// What matters of the typical package, in every layout the reader must accept: stubs up to
// the signature window's limit, both block methods, the DataArea split so that entries cross volumes.
TEST(Typical, InspectShowsWhatMattersInEveryLayout) {
  const std::tuple<uint32_t, uint8_t, uint32_t> cases[] = {
      {2048, 1, 0}, {1020, 2, 0}, {wf::kMaxStubSize, 0, 0}, {2048, 1, 97}};  // stub size, block method, volume size
  for (auto [stubSize, blockMethod, volumeSize] : cases) {
    wrenly::builder::Project plan = TypicalPlan();
    plan.version = "1.2", plan.url = "https://acme.example";  // no publisher
    plan.architecture = wf::kArchitectureX64, plan.scope = wf::kScopeUser, plan.id = "Acme.Demo";
    PackageImage image = Craft(plan);
    image.signatureAt = stubSize, image.volumeSize = volumeSize;
    for (Block& b : image.blocks) b.method = blockMethod;
    wf::StoreU32(&image.Find(wf::kBlockInstallType)->payload[wf::install_type::kMessageLists + 8], 0);  // no list 2
    fs::path setup = image.Write(EmptyScratch() / "setup.exe");
    // A volume left from an older build beside a package that fits in its own file is no part of it.
    if (!volumeSize) std::ofstream(setup.parent_path() / "setup.D01") << "stale";
    Outcome r = InspectFile(setup, true);
    ASSERT_TRUE(r.code == 0 && r.err.empty()) << r.err;
    std::string expected[] = {
        "stub: " + std::to_string(stubSize) + " bytes; signature at offset " + std::to_string(stubSize) +
            "; first block at " + std::to_string(stubSize + 6),
        volumeSize ? "in " + std::to_string(image.Volumes().size() + 1) + " parts" : "in 1 part\n"};
    for (std::string s : expected) EXPECT_NE(r.out.find(s), std::string::npos) << "missing: " << s << "\n" << r.out;
    // What the builder's round trip leaves out: the settings, pictures and blocks,
    for (const char* s :
         {"flags 0x0000000E (background, gradient, maximised)", "dialog font \"Arial\" height -11 weight 400",
          "text-box at (16,12)-(474,228)", "#2 at 64: 1 x 1", "background variants: 1: 1024 x 768",
          "background bitmap 0: 102 bytes, 4 x 4, 24 bits per pixel", "title: \"Demo Product\\nSetup\"",
          "uninstaller image: 20 bytes",
          "product details: version \"1.2\", publisher \"\", URL \"https://acme.example\"",
          "product identity: architecture x64, scope user, id \"Acme.Demo\", flags 0x0000 (none)",
          // type 1 and its entries,
          "folder value: HKEY_LOCAL_MACHINE\\Software\\Demo value \"Path\"",
          "pages: welcome, information, destination, ready, progress, finish\n",
          "0/2 \"This installs Demo.\\nClick Next.\"", "messages 2: none", "[1] \"data\\img\\a.bmp\" -> install",
          "bzip2", "[3] \"sys\\x.dll\" -> windows", "(version-check, shared)", "version 1.2.3.4 language 0x0409",
          "-> custom \"#CommonFiles#\\Acme\"", "run: after install, wait, args \"/quiet\"", "(source-folder)",
          "uninstall sections: 40 bytes",  // the product's section first
          // type 2's entry named by its name only.
          "\"flat\\name.txt\" -> install (name only)", "(times)", "verify: 8 entries decoded, 0 with problems"})
      EXPECT_NE(r.out.find(s), std::string::npos) << "missing: " << s << "\n" << r.out;
    EXPECT_NE(InspectFile(setup, false, 7).out.find("0/0 \"Welcome...\""), std::string::npos);
    nlohmann::json doc = InspectJson(setup, true);
    // The same facts in the document, texts whole.
    nlohmann::json fields = nlohmann::json::parse(R"({"/format": 2, "/errors": [],
      "/package/settings/flag_words": ["background", "gradient", "maximised"],
      "/package/settings/dialog_font/face": "Arial", "/package/title": "Demo Product\nSetup",
      "/package/bitmaps/1/width": 1, "/package/uninstaller_image_size": 20,
      "/package/product_details": {"version": "1.2", "publisher": "", "url": "https://acme.example"},
      "/package/product_identity": {"architecture": "x64", "scope": "user", "id": "Acme.Demo", "flags": 0,
                                    "allow_downgrade": false, "record_beside": false},
      "/package/install_types/0/folder_value/root": "HKEY_LOCAL_MACHINE",
      "/package/install_types/0/messages/0/2": "This installs Demo.\nClick Next.",
      "/package/install_types/0/messages/2": null, "/package/install_types/0/files/1/method": "bzip2",
      "/package/install_types/0/files/3/version/number": "1.2.3.4",
      "/package/install_types/0/files/3/flag_words": ["version-check", "shared"],
      "/package/install_types/0/files/4/folder": "#CommonFiles#\\Acme",
      "/package/install_types/0/files/7/verify/sound": true, "/package/install_types/1/files/1/name_only": true,
      "/package/install_types/1/number": 2, "/package/verify/decoded": 8, "/package/verify/with_problems": 0})");
    fields["/package/stub_size"] = stubSize;
    fields["/package/blocks/0/offset"] = stubSize + 6;
    if (volumeSize) fields["/package/data_area/volumes/0/name"] = "setup.D01";
    for (const auto& [at, want] : fields.items())
      EXPECT_EQ(doc.value(nlohmann::json::json_pointer(at), nlohmann::json()), want) << at << "\n" << doc;
  }
}

// The Installer goes on without product details it cannot read; inspect shows the
// rest and names them. The same for an identity damaged or unknown to the Installer.
TEST(ProductDetails, DamagedOnesAreNamedAndLeftOut) {
  const std::tuple<Bytes, uint16_t, const char*> cases[] = {
      // the block's payload and flags, the problem
      {{3, 0, '1', '.', '2', 9, 0, 'A'}, 0, "product details: a field runs past the block"},
      {CompressedPayload(8, wf::kMethodZlib, {1, 2, 3}), wf::kBlockCompressed, "the product details are left out"},
      {{1, 0, 0, 0, 5, 0, 'A'}, 0, "product identity: the id runs past the block"},
      {CompressedPayload(8, wf::kMethodZlib, {1, 2, 3}), wf::kBlockCompressed, "the product identity is left out"},
      {{0, 2, 0, 0, 0, 0}, 0, "product identity: architecture x86, scope unknown 2; the Installer refuses"}};
  for (const auto& [payload, flags, problem] : cases) {
    bool identity = std::string(problem).find("identity") != std::string::npos;
    uint16_t id = identity ? wf::kBlockProductIdentity : wf::kBlockProductDetails;
    PackageImage image = Craft(TypicalPlan());
    std::erase_if(image.blocks, [&](const Block& b) { return b.id == id; });
    image.Add(id, payload, flags);
    fs::path setup = image.Write(EmptyScratch() / "setup.exe");
    Outcome r = InspectFile(setup, false);
    EXPECT_TRUE(r.code == wrenly::inspector::kDamaged && r.err.find(problem) != r.err.npos &&
                r.out.find("install type") != r.out.npos)
        << r.err;
    nlohmann::json doc = InspectJson(setup, false);
    bool read = std::string(problem).find("unknown") != std::string::npos;  // read, and refused
    EXPECT_TRUE(doc["package"][identity ? "product_identity" : "product_details"].is_null() != read &&
                doc["package"].contains("install_types"))
        << doc;
  }
}

// An installed uninstaller: a damaged record is reported as such and nothing
// is planned; a sound one's ANSI file name comes out in UTF-8, and a group
// outside the Start menus is shown refused.
TEST(Uninstaller, DamagedShowsNoPlan) {
  fs::path path = EmptyScratch() / "uninstall.exe";
  const Bytes end = Words({wf::kBlockEnd | wf::kEndFlagRecordComplete << 16, 0});
  auto write = [&](Bytes record) {  // in place of the end header that closes the program's data
    Bytes file = wrenly::builder::BuildUninstallerData({});
    file.resize(file.size() - wf::block_header::kSize);
    file.insert(file.end(), record.begin(), record.end()), file.insert(file.end(), end.begin(), end.end());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
  };
  write(Words({wf::kUninstallFiles, 4, 1}));  // one file counted, none there
  Outcome r = InspectFile(path, false);
  EXPECT_EQ(r.out + r.err, "inspect: " + path.string() +
                               ": damaged uninstaller, it would remove "
                               "nothing: a block, count or string runs past its bounds\n");
  EXPECT_EQ(r.code, wrenly::inspector::kDamaged);
  nlohmann::json doc = InspectJson(path, false);
  EXPECT_TRUE(!doc.contains("uninstaller") && doc["errors"].size() == 1) << doc;
  Bytes sound = Words({wf::kUninstallFiles, 16, 1});
  sound.insert(sound.end(), {1, 0, '.', 6, 0, 'c', 'a', 'f', 0xE9, 0x80, 'x', 0});
  Bytes group = Words({wf::kUninstallShortcuts, 16, 1});  // nine levels deep, outside every Start menu
  group.insert(group.end(), {9, 6, 0, 'C', ':', '\\', 'x', '\\', 'g', 1, 0, 'a'});
  sound.insert(sound.end(), group.begin(), group.end());
  Bytes product = Words({wf::kSectionProduct, 10});
  product.insert(product.end(), {1, 1, 1, 0, 4, 0, 'A', 'c', 'm', 'e'});
  sound.insert(sound.end(), product.begin(), product.end());
  write(sound);
  EXPECT_EQ(InspectJson(path, false)["uninstaller"]["products"], nlohmann::json::parse(R"([{"record": 1,
            "architecture": "x64", "scope": "user", "id": "Acme", "flags": 1}])"));
  EXPECT_EQ(InspectJson(path, false)["uninstaller"]["plan"], nlohmann::json::parse(R"([{"kind": "file", "path":
            "<installation folder>\\caf\u00e9\u20acx", "refusal": null}, {"kind": "shortcut", "path": "C:\\x\\g\\a",
            "refusal": null}, {"kind": "group", "path": "C:\\x\\g", "refusal": "not below a Start-menu or desktop folder"}])"));
}

// Package texts are Windows-1252 and the host's UTF-8; whatever the bytes, the output is valid JSON.
TEST(JsonWriter, TextsBecomeValidUtf8) {
  const std::tuple<bool, std::string, std::string> cases[] = {
      // ANSI, bytes, JSON
      {true, "a\"b\\c\n\r\t\x01\x7F", R"("a\"b\\c\n\r\t\u0001\u007F")"},
      {true, "\x80\x81\x9F\xA0\xFF", "\"\u20AC\uFFFD\u0178\u00A0\u00FF\""},
      {false, "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", "\"\u00E9\u20AC\U0001F600\""},
      {false, "\xC3x\xC0\x80\xED\xA0\x80\xF4\x90\x80\x80\xE2\x82",
       "\"\uFFFDx\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\""}};
  for (const auto& [ansi, bytes, expected] : cases) {
    std::ostringstream out;
    wrenly::inspector::JsonWriter json(out);
    ansi ? json.Ansi(bytes) : json.Utf8(bytes);
    EXPECT_EQ(nlohmann::json::parse(out.str()), nlohmann::json::parse(expected)) << out.str();
  }
}

}  // namespace
