#include <algorithm>

#include "damage.h"
#include "support.h"

namespace {

class Damaged : public ::testing::TestWithParam<DamageRecipe> {};

TEST_P(Damaged, EveryOperationAnswersAsTheRecipeSays) {
  const DamageRecipe& r = GetParam();
  fs::path dir = EmptyScratch();
  fs::path setup = WriteDamaged(r, dir / "setup.exe");
  Outcome plain = InspectFile(setup, false), verified = InspectFile(setup, true);
  EXPECT_EQ(plain.code == 0, r.verifyOnly) << plain.err;
  EXPECT_TRUE(verified.code != 0 && verified.err.find(r.message) != std::string::npos) << verified.err;
  int code = 0;
  nlohmann::json doc = InspectJson(setup, true, &code);  // the same problems in the document
  EXPECT_EQ(code, wrenly::inspector::kDamaged);
  EXPECT_TRUE(std::any_of(doc["errors"].begin(), doc["errors"].end(), [&](const nlohmann::json& e) {
    return e.get<std::string>().find(r.message) != std::string::npos;
  })) << doc["errors"];
  Outcome extracted = ExtractFile(setup, dir / "out");
  EXPECT_EQ(extracted.code != 0 || extracted.err != "", r.extractFails) << extracted.err;
}

INSTANTIATE_TEST_SUITE_P(Recipes, Damaged, ::testing::ValuesIn(DamageRecipes().begin(), DamageRecipes().end()),
                         [](const auto& info) { return std::string(info.param.name); });

// A package cut anywhere must be refused with a message, never read past;
// one that is not there at all is not called damaged.
TEST(Truncated, EveryCutIsRefused) {
  fs::path dir = EmptyScratch();
  for (const Outcome& r : {InspectFile(dir / "absent.exe", true), ExtractFile(dir / "absent.exe", dir / "out")})
    EXPECT_TRUE(r.code == wrenly::inspector::kUnreadable && r.err.find("cannot open") != r.err.npos &&
                r.err.find("damaged") == r.err.npos)
        << r.err;
  EXPECT_EQ(InspectJson(dir / "absent.exe", false)["errors"].size(), 1u);
  PackageImage full = Craft(TypicalPlan());
  std::vector<uint32_t> blockAt;  // every block header's offset, the end block's last
  uint32_t size = full.Build(&blockAt).size(), dataStart = blockAt.back() + 12;
  std::vector<uint32_t> cuts = {0, 1019, 2048, 2050, 2054, dataStart - 4, dataStart - 1, dataStart + 1, size - 1};
  for (uint32_t at : blockAt)
    for (uint32_t d : {1, 4, 7, 8, 9, 12, 30}) cuts.push_back(at + d);
  for (uint32_t cut : cuts) {
    full.cutAt = cut;
    fs::path setup = full.Write(dir / "setup.exe");
    Outcome r = InspectFile(setup, true);
    EXPECT_TRUE(r.code == wrenly::inspector::kDamaged && r.err.find("setup.exe: ") != r.err.npos)
        << "cut at " << cut << ": " << r.err;
    EXPECT_EQ(ExtractFile(setup, dir / "out").code, wrenly::inspector::kDamaged) << "cut at " << cut;
    // What was read before the cut is still shown: the blocks up to it.
    nlohmann::json doc = InspectJson(setup, true);
    EXPECT_TRUE(doc["errors"].size() == 1 && doc["file"]["size"] == cut) << "cut at " << cut << ": " << doc;
    size_t whole = std::count_if(blockAt.begin() + 1, blockAt.end(), [&](uint32_t at) { return at <= cut; });
    EXPECT_EQ(doc["package"]["blocks"].size(), whole + (dataStart <= cut)) << "cut at " << cut;
  }
}

}  // namespace
