#include "builder/version_info.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "builder/product_resources.h"
#include "builder/sha256.h"
#include "builder/stub_images.h"
#include "builder/winget_manifest.h"
#include "format/bytes.h"
#include "format/stub_resources.h"
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

// Each flavour's stub becomes the product's: its version resource as the
// project says, the project's icon under the wizard's group number, every
// other resource as it was, and the program before the resources unchanged.
TEST(VersionInfo, TheStubTakesTheProductsVersionAndIcon) {
  Bytes ico = ToBytes(ReadAll(std::string(WRENLY_SOURCE_DIR) + "/installer/resources/installer.ico"));
  for (const char* dir : {WRENLY_WIN32_DIR, WRENLY_WIN64_DIR}) {
    std::filesystem::path path = std::string(dir) + "/installer/wrenly-stub.exe";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << dir << ": the Windows flavour is not built";
    Bytes stub = ToBytes(ReadAll(path));
    Bytes out = ProductStub(stub, {"Demo", "2.3.4", "Pub", "(c) Pub"}, ico);
    VersionInfo info;
    ASSERT_TRUE(ReadVersionInfo(out, &info)) << dir;
    EXPECT_EQ(std::tuple(info.versionMS, info.versionLS, info.language), std::tuple(0x20003u, 0x40000u, 0x409u));
    uint32_t flags = format::LoadU32(&out[0x3C]) + 22;  // the file header's characteristics
    EXPECT_EQ(format::LoadU16(&out[flags]), format::LoadU16(&stub[flags]) | 0x0C00) << dir << ": run from swap";
    auto before = ReadResources(stub), after = ReadResources(out);
    auto kinds = [](const std::vector<Resource>& list, bool mine) {
      std::vector<std::tuple<uint32_t, uint32_t, size_t>> out;
      for (const auto& r : list)
        if (mine == (r.type == kResourceVersion || r.type == kResourceIcon || r.type == kResourceIconGroup))
          out.emplace_back(r.type, r.id, r.data.size());
      std::sort(out.begin(), out.end());
      return out;
    };
    EXPECT_EQ(kinds(after, false), kinds(before, false)) << dir;
    auto icons = IconResources(ico, format::kStubIconGroup, 1);
    icons.push_back({kResourceVersion, 1, 0x409, VersionResource({"Demo", "2.3.4", "Pub", "(c) Pub"})});
    EXPECT_EQ(kinds(after, true), kinds(icons, true)) << dir;
    for (const char16_t* text : {u"Demo Setup", u"(c) Pub", u"2.3.4"}) {
      std::u16string t(text);
      auto* p = reinterpret_cast<const uint8_t*>(t.data());
      EXPECT_NE(std::search(out.begin(), out.end(), p, p + 2 * t.size()), out.end()) << dir;
    }
    EXPECT_THROW(IconResources(Bytes(ico.begin(), ico.begin() + 20), 1, 1), BuildError);
  }
}

// Each image's methods resource names the decoders its name promises, in
// both flavours: the build trusts it to choose.
TEST(VersionInfo, EachImageNamesItsDecoders) {
  for (const char* dir : {WRENLY_WIN32_DIR, WRENLY_WIN64_DIR}) {
    std::string images = WRENLY_INSTALLER_IMAGES;
    for (size_t at = 0, end; at < images.size(); at = end + 1) {
      end = std::min(images.find(' ', at), images.size());
      std::string name = images.substr(at, end - at);
      std::filesystem::path path = std::string(dir) + "/installer/" + name + ".exe";
      if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is not built";
      bool all = name == "wrenly-stub";
      uint32_t promised = format::kStubHasZlib |
                          (all || name.find("-bzip2") != std::string::npos ? format::kStubHasBzip2 : 0) |
                          (all || name.find("-lzma") != std::string::npos ? format::kStubHasLzma : 0);
      EXPECT_EQ(StubMethods(ToBytes(ReadAll(path))), promised) << path;
    }
  }
  // Inspect asks the same of whatever program fronts a package: headers that
  // lie give no answer, and nothing is read outside the file.
  const Bytes sound = SmallProgram({{10, format::kStubMethodsResource, 0x409, {5, 0, 0, 0}}});
  const std::vector<std::pair<uint32_t, uint32_t>> lies[] = {
      {},                                  // none: the program's own answer
      {{0xB4, 0x20000000}},                // so many directories that their size wraps to 0
      {{0x140, 0x10000}, {0xC8, 0x1800}},  // resources where the section has no file bytes
      {{0x3C, 0xFFFFFFF0}},                // the PE header far past the end
  };
  for (const auto& lie : lies) {
    Bytes program = sound;
    for (auto [at, value] : lie) format::StoreU32(&program[at], value);
    EXPECT_EQ(ImageDecoders(program), lie.empty() ? std::optional<uint32_t>(5) : std::nullopt) << lie.size();
  }
}

// The digest package managers check, and the manifest that carries it.
TEST(Winget, DigestAndManifest) {
  EXPECT_EQ(Sha256Hex(ToBytes("abc")), "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
  EXPECT_EQ(Sha256Hex(Bytes(1000, 'a')), "41EDECE42D63E8D9BF515A9BA6932E1C20CBC9F5A5D134645ADB5DB1B9737EA3");
  ProductFacts facts{"Wrenly Demo", "1.0", "The Wrenly project", "", true};
  std::string m = WingetInstallerManifest(facts, std::string(64, 'A'));
  for (const char* line :
       {"PackageIdentifier: TheWrenlyproject.WrenlyDemo\n", "  Silent: /Q\n",
        "  InstallLocation: /T\"<INSTALLPATH>\"\n", "ProductCode: 'Wrenly Demo'\n",
        "- InstallerReturnCode: 3010\n  ReturnResponse: rebootRequiredToFinish\n", "  InstallerSha256: AAAAAAAA"})
    EXPECT_NE(m.find(line), std::string::npos) << line;
  facts.version.clear();
  EXPECT_THROW(WingetInstallerManifest(facts, ""), BuildError);
}

}  // namespace
}  // namespace wrenly::builder
