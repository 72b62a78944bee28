#include "support.h"

#include "format/file_entry.h"

namespace wf = wrenly::format;

namespace {

std::string BigText() {
  std::string big;
  for (int i = 0; i < 5000; ++i) big += "line " + std::to_string(i) + "\n";
  return big;
}

std::string UninstallerFile() {
  // The image of block 5183, then the entry's own data.
  std::string data("\x34\x12\x00\x00\x05\x00\x00\x00"
                   "Bye!\0"
                   "\x7F\x7F\x00\x00\x00\x00\x00\x00",
                   21);
  return "MZ-uninstaller-image" + data;
}

struct Expected {
  int type;
  const char* path;
  std::string content;
};

class ExtractTypical : public ::testing::TestWithParam<uint32_t> {};  // volume size

TEST_P(ExtractTypical, WritesEveryFileWhereItsKindSays) {
  fs::path dir = ScratchDir();
  craft::PackageSpec plan = craft::TypicalSpec();
  plan.volumeSize = GetParam();
  fs::path setup = craft::Write(craft::Craft(plan), dir / "setup.exe");
  const Expected files[] = {
      {0, "install/readme.txt", "Read me first.\n"},
      {0, "install/data/img/a.bmp", BigText()},
      {0, "windows/x.dll", "dll bytes"},
      {0, "custom/CommonFiles/Acme/tool.exe", "tool"},
      {0, "documents/empty.txt", ""},
      {0, "install/uninst.exe", UninstallerFile()},
      {1, "install/mini/only.txt", "minimal only"},
      {1, "install/name.txt", "flat"},
  };
  for (int type : {0, 1}) {
    Outcome r = ExtractFile(setup, dir / ("type" + std::to_string(type)), type);
    ASSERT_EQ(r.code, 0) << r.err;
    if (type == 0) {
      EXPECT_NE(r.out.find("skipped \"extra.txt\""), std::string::npos) << r.out;
      EXPECT_TRUE(fs::is_directory(dir / "type0/install/data/empty"));
      EXPECT_FALSE(fs::exists(dir / "type0/install/extra.txt"));
    }
  }
  size_t count[2] = {};
  for (const auto& f : files) {
    fs::path p = dir / ("type" + std::to_string(f.type)) / f.path;
    ASSERT_TRUE(fs::is_regular_file(p)) << p;
    EXPECT_EQ(ReadAll(p), f.content) << p;
    ++count[f.type];
  }
  // Nothing else was written.
  for (int type : {0, 1}) {
    size_t found = 0;
    for (auto& e : fs::recursive_directory_iterator(dir / ("type" + std::to_string(type))))
      found += e.is_regular_file();
    EXPECT_EQ(found, count[type]) << "type " << type;
  }
}

INSTANTIATE_TEST_SUITE_P(Volumes, ExtractTypical, ::testing::Values(0u, 2500u, 333u));

struct EscapeCase {
  const char* name;
  uint32_t kind;
};

TEST(Extract, RefusesNamesThatEscapeAndWritesNothing) {
  const EscapeCase cases[] = {
      {"..\\evil.txt", wf::kDestInstallDir},   {"C:\\evil.txt", wf::kDestInstallDir},
      {"\\evil.txt", wf::kDestMyDocuments},    {"x\\..\\..\\evil.txt", wf::kDestAppData},
      {"sys\\..", wf::kDestWindows},           {"a\\../../evil.txt", wf::kDestFonts},
      {"..\\..\\evil", wf::kDestInstallDir},
  };
  fs::path dir = ScratchDir();
  for (const auto& c : cases) {
    craft::PackageSpec plan;
    plan.types = {craft::TypeSpec{}};
    plan.types[0].files = {{.name = "fine.txt", .content = "ok"}, {.name = c.name, .kind = c.kind, .content = "x"}};
    fs::path setup = craft::Write(craft::Craft(plan), dir / "setup.exe");
    fs::path out = dir / "a" / "b" / "out";
    Outcome r = ExtractFile(setup, out, 0);
    EXPECT_NE(r.code, 0) << c.name;
    EXPECT_NE(r.err.find("refused name"), std::string::npos) << c.name << ": " << r.err;
    EXPECT_FALSE(fs::exists(out)) << c.name;
    EXPECT_FALSE(fs::exists(dir / "a" / "evil.txt")) << c.name;
    EXPECT_FALSE(fs::exists(dir / "a" / "b" / "evil.txt")) << c.name;
  }
}

TEST(Extract, NamesAnInstallTypeThatExists) {
  fs::path dir = ScratchDir();
  fs::path setup = craft::Write(craft::Craft(craft::TypicalSpec()), dir / "setup.exe");
  for (int type : {-1, 2, 16}) {
    Outcome r = ExtractFile(setup, dir / "out", type);
    EXPECT_NE(r.code, 0);
    EXPECT_NE(r.err.find("no install type " + std::to_string(type) + " (the package has 2)"), std::string::npos)
        << r.err;
  }
}

TEST(Extract, ADamagedEntryLeavesNoFileButTheOthersAreWritten) {
  fs::path dir = ScratchDir();
  craft::PackageSpec plan = craft::TypicalSpec();
  plan.types[0].files[1].patchData = [](craft::Bytes& d) { d[d.size() / 2] ^= 0x40; };
  fs::path setup = craft::Write(craft::Craft(plan), dir / "setup.exe");
  Outcome r = ExtractFile(setup, dir / "out", 0);
  EXPECT_NE(r.code, 0);
  EXPECT_NE(r.err.find("entry 1 \"data\\img\\a.bmp\""), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir / "out/install/data/img/a.bmp"));
  EXPECT_EQ(ReadAll(dir / "out/install/readme.txt"), "Read me first.\n");
  EXPECT_EQ(ReadAll(dir / "out/windows/x.dll"), "dll bytes");
}

}  // namespace
