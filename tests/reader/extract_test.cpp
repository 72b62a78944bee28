#include "builder/package_writer.h"
#include "entry_names.h"
#include "format/file_entry.h"
#include "reader/package.h"
#include "support.h"

namespace wf = wrenly::format;
namespace wb = wrenly::builder;

namespace {

// Every file lands where its kind says, folders are made and source folders skipped;
// a type is named by its number from 1 or its name; a damaged entry leaves no file,
// the entries after it are written, and the listing says which were not.
TEST(Extract, WritesEveryFileWhereItsKindSays) {
  fs::path dir = EmptyScratch();
  wb::Project plan = TypicalPlan();
  plan.types[1].files[0].items[wf::kItemName] = "mini\\\xE9t\x80.txt";  // ANSI names become UTF-8 ones
  plan.types[1].name = "Mini \xE9";
  PackageImage image = Craft(plan);
  fs::path setup = image.Write(dir / "setup.exe");
  const std::vector<std::vector<const char*>> lands = {
      // by type and entry; nullptr: no file
      {"install/readme.txt", "install/data/img/a.bmp", nullptr, "windows/x.dll", "custom/CommonFiles/Acme/tool.exe",
       nullptr, "documents/empty.txt", "install/uninst.exe"},
      {"install/mini/\u00E9t\u20AC.txt", "install/name.txt"}};
  std::map<std::string, std::string> expected, found;  // by type and path
  for (int type : {0, 1}) {
    for (size_t k = 0; k < lands[type].size(); ++k) {
      if (!lands[type][k]) continue;
      const wb::FileItem& f = plan.types[type].files[k];
      Bytes content = f.status & wf::kOptUninstaller ? plan.uninstallerImage : Bytes();
      content.insert(content.end(), f.content.begin(), f.content.end());
      expected["type" + std::to_string(type) + "/" + lands[type][k]] = {content.begin(), content.end()};
    }
    Outcome r = ExtractFile(setup, dir / ("type" + std::to_string(type)), type ? "Mini \u00E9" : "1");
    ASSERT_EQ(r.code, 0) << r.err;
    if (type == 0) EXPECT_NE(r.out.find("skipped \"extra.txt\""), std::string::npos) << r.out;
  }
  EXPECT_TRUE(fs::is_directory(dir / "type0/install/data/empty"));
  for (auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file() && e.path() != setup) found[fs::relative(e.path(), dir).string()] = ReadAll(e.path());
  EXPECT_EQ(found, expected);
  const std::pair<const char*, std::string> refused[] = {
      // what the command line names, what it is told
      {"0", "no install type 0 (the package has 2)"},
      {"3", "no install type 3 (the package has 2)"},
      {"Full only", "no install type named \"Full only\" (the package has 1 \"Full\", 2 \"Mini \u00E9\")"}};
  for (const auto& [type, message] : refused) {
    Outcome r = ExtractFile(setup, dir / "out", type);
    EXPECT_TRUE(r.code == wrenly::inspector::kBadRequest && r.err.find(message) != r.err.npos) << type << ": " << r.err;
  }
  image.dataArea[image.dataArea.size() / 2] ^= 0x40;  // in a.bmp's bzip2 stream
  Outcome r = ExtractFile(image.Write(dir / "setup.exe"), dir / "bad");
  EXPECT_TRUE(r.code == wrenly::inspector::kDamaged && r.err.find("type 1, entry 1 \"data\\img\\a.bmp\"") != r.err.npos)
      << r.err;
  for (const char* line : {"\nnot written install/data/img/a.bmp\n", "\nwrote   windows/x.dll (9 bytes)\n",
                           "\n5 files written, 1 not written; each one written is whole and checked\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
  EXPECT_FALSE(fs::exists(dir / "bad/install/data/img/a.bmp"));
  EXPECT_EQ(ReadAll(dir / "bad/windows/x.dll"), "dll bytes");
}

// Extraction refuses an escaping name before it writes anything; a custom
// folder (kind 8) only ever becomes subfolders of "custom".
TEST(EntryNames, ExtractionWritesNothingOutside) {
  auto custom = [](const char* folder) {
    return wb::FileItem{.kind = wf::kDestCustom, .items = {"tool.exe", "", "", "", "", "", "", "", "", folder}};
  };
  std::vector<std::pair<wb::FileItem, std::string>> cases = {
      // where it lands under the output folder, "" refused
      {custom("..\\..\\..\\evil"), "custom/evil/tool.exe"},
      {custom("C:\\..\\x\\.\\"), "custom/C/x/tool.exe"},
      {{.kind = wf::kDestWindows, .items = {"sys\\"}}, ""},
      {{.kind = wf::kDestFonts, .items = {"sys\\"}}, ""},
  };
  for (const auto& c : kEntryNames)
    cases.push_back({{.kind = c.kind, .items = {c.name}}, c.parts ? "install/" + std::string(c.parts) : ""});
  fs::path dir = EmptyScratch();
  for (auto& [file, lands] : cases) {
    file.content = {'x'};
    wb::Project plan{.types = {{.files = {{.content = {'o', 'k'}, .items = {"fine.txt"}}, file}}}};
    fs::path setup = Craft(plan).Write(dir / "setup.exe"), out = dir / "a" / "b" / "out";
    Outcome r = ExtractFile(setup, out);
    EXPECT_EQ(r.code != 0, lands.empty()) << file.items[0] << ": " << r.err;
    if (!lands.empty()) EXPECT_EQ(ReadAll(out / lands), "x") << file.items[0];
    else EXPECT_NE(r.err.find("refused name"), std::string::npos) << file.items[0] << ": " << r.err;
    EXPECT_FALSE(lands.empty() && fs::exists(out)) << file.items[0];
    auto files = std::count_if(fs::recursive_directory_iterator(dir), {}, [](auto& e) { return e.is_regular_file(); });
    EXPECT_EQ(files, lands.empty() ? 1 : 3) << file.items[0];
    fs::remove_all(dir / "a");
  }
}

TEST(VolumePath, ReplacesTheFileNamesExtension) {
  const std::tuple<const char*, int, const char*> cases[] = {
      {"dir/setup.exe", 1, "dir/setup.D01"}, {"dir/setup", 2, "dir/setup.D02"}, {"dir.v2/setup", 3, "dir.v2/setup.D03"},
      {"a/b.c.exe", 12, "a/b.c.D12"},        {"setup.exe", 100, "setup.D100"},
  };
  for (auto [setup, n, expected] : cases)  // the builder writes the names the inspector reads
    EXPECT_EQ(std::pair(wrenly::inspector::VolumePath(setup, n).string(), wb::VolumePath(setup, n).string()),
              std::pair(std::string(expected), std::string(expected)))
        << setup;
}

}  // namespace
