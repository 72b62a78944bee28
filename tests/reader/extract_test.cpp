#include "damage.h"
#include "entry_names.h"
#include "format/file_entry.h"
#include "reader/package.h"
#include "support.h"

namespace wf = wrenly::format;

namespace {

class ExtractTypical : public ::testing::TestWithParam<uint32_t> {};  // volume size

TEST_P(ExtractTypical, WritesEveryFileWhereItsKindSays) {
  fs::path dir = ScratchDir();
  PackagePlan plan = TypicalPlan();
  PackageImage image = Craft(plan);
  image.volumeSize = GetParam();
  fs::path setup = image.Write(dir / "setup.exe");
  std::map<std::string, std::string> expected;  // by type and path
  for (int type : {0, 1}) {
    for (const FilePlan& f : plan.types[type].files) {
      if (f.flags & (wf::kFlagFolder | wf::kFlagSourceFolder)) continue;
      std::string path = f.name;
      std::replace(path.begin(), path.end(), '\\', '/');
      if (!wf::DestKeepsSubfolders(f.kind)) path = path.substr(path.rfind('/') + 1);
      const char* folder = f.kind == wf::kDestWindows      ? "windows/"
                           : f.kind == wf::kDestMyDocuments ? "documents/"
                           : f.kind == wf::kDestCustom      ? "custom/CommonFiles/Acme/"
                                                            : "install/";
      std::string content = (f.status & wf::kOptUninstaller ? plan.uninstaller : "") + f.content;
      expected["type" + std::to_string(type) + "/" + folder + path] = content;
    }
    Outcome r = ExtractFile(setup, dir / ("type" + std::to_string(type)), type);
    ASSERT_EQ(r.code, 0) << r.err;
    if (type == 0) EXPECT_NE(r.out.find("skipped \"extra.txt\""), std::string::npos) << r.out;
  }
  EXPECT_TRUE(fs::is_directory(dir / "type0/install/data/empty"));
  std::map<std::string, std::string> found;
  for (auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file() && e.path() != setup && e.path().extension().string().rfind(".D", 0) != 0)
      found[fs::relative(e.path(), dir).string()] = ReadAll(e.path());
  EXPECT_EQ(found, expected);
  for (int type : {-1, 2}) {
    Outcome r = ExtractFile(setup, dir / "out", type);
    EXPECT_NE(r.err.find("no install type " + std::to_string(type) + " (the package has 2)"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(Volumes, ExtractTypical, ::testing::Values(0u, 333u));

// Extraction refuses an escaping name before it writes anything; a custom
// folder (kind 8) only ever becomes subfolders of "custom".
TEST(EntryNames, ExtractionWritesNothingOutside) {
  auto custom = [](const char* folder) {
    return FilePlan{.name = "tool.exe", .kind = wf::kDestCustom, .items = {"", "", "", "", "", "", "", "", folder}};
  };
  std::vector<std::pair<FilePlan, std::string>> cases = {  // where it lands under the output folder, "" refused
      {custom("..\\..\\..\\evil"), "custom/evil/tool.exe"},
      {custom("C:\\..\\x\\.\\"), "custom/C/x/tool.exe"},
      {{.name = "sys\\", .kind = wf::kDestWindows}, ""},
      {{.name = "sys\\", .kind = wf::kDestFonts}, ""},
  };
  for (const auto& c : kEntryNames)
    cases.push_back({{.name = c.name, .kind = c.kind}, c.parts ? "install/" + std::string(c.parts) : ""});
  fs::path dir = ScratchDir();
  for (auto& [file, lands] : cases) {
    PackagePlan plan;
    plan.types = {PlainType()};
    file.content = "x";
    plan.types[0].files = {{.name = "fine.txt", .content = "ok"}, file};
    fs::path setup = Craft(plan).Write(dir / "setup.exe"), out = dir / "a" / "b" / "out";
    Outcome r = ExtractFile(setup, out, 0);
    EXPECT_EQ(r.code != 0, lands.empty()) << file.name << ": " << r.err;
    if (!lands.empty()) EXPECT_EQ(ReadAll(out / lands), "x") << file.name;
    else EXPECT_NE(r.err.find("refused name"), std::string::npos) << file.name << ": " << r.err;
    EXPECT_FALSE(lands.empty() && fs::exists(out)) << file.name;
    size_t files = 0;
    for (auto& e : fs::recursive_directory_iterator(dir)) files += e.is_regular_file();
    EXPECT_EQ(files, lands.empty() ? 1u : 3u) << file.name;
    fs::remove_all(dir / "a");
  }
}

TEST(Extract, ADamagedEntryLeavesNoFileButTheOthersAreWritten) {
  fs::path dir = ScratchDir();
  fs::path setup = WriteDamaged(*FindDamage("entry_bad_stream"), dir / "setup.exe");
  Outcome r = ExtractFile(setup, dir / "out", 0);
  EXPECT_NE(r.code, 0);
  EXPECT_NE(r.err.find("entry 1 \"data\\img\\a.bmp\""), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir / "out/install/data/img/a.bmp"));
  EXPECT_EQ(ReadAll(dir / "out/install/readme.txt"), "Read me first.\n");
  EXPECT_EQ(ReadAll(dir / "out/windows/x.dll"), "dll bytes");
}

TEST(VolumePath, ReplacesTheFileNamesExtension) {
  const std::tuple<const char*, int, const char*> cases[] = {
      {"dir/setup.exe", 1, "dir/setup.D01"}, {"dir/setup", 2, "dir/setup.D02"}, {"dir.v2/setup", 3, "dir.v2/setup.D03"},
      {"a/b.c.exe", 12, "a/b.c.D12"},        {"setup.exe", 100, "setup.D100"},
  };
  for (auto [setup, n, expected] : cases)
    EXPECT_EQ(wrenly::inspector::VolumePath(setup, n).string(), expected) << setup;
}

}  // namespace
