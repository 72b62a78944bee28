// Which Installer image a package goes behind.
#include <gtest/gtest.h>

#include "builder/stub_images.h"
#include "format/stub_resources.h"

namespace wrenly::builder {
namespace {
namespace f = wrenly::format;

constexpr uint32_t kZ = f::kStubHasZlib, kB = f::kStubHasBzip2, kL = f::kStubHasLzma;

struct Offer {
  const char* name;
  size_t bytes;
  uint32_t methods;
};
const std::vector<Offer> kShipped = {
    {"wrenly-stub.exe", 139, kZ | kB | kL},
    {"wrenly-stub-zlib-bzip2.exe", 130, kZ | kB},
    {"wrenly-stub-zlib-lzma.exe", 123, kZ | kL},
    {"wrenly-stub-zlib.exe", 114, kZ},
};

struct Case {
  const char* name;
  uint32_t used;
  std::vector<Offer> offered;
  const char* chosen;  // nullptr: none reads the package, and `error` says why
  const char* error = "";
};

const Case kCases[] = {
    {"ZlibTakesTheSmallest", kZ, kShipped, "wrenly-stub-zlib.exe"},
    {"Bzip2", kZ | kB, kShipped, "wrenly-stub-zlib-bzip2.exe"},
    {"Lzma", kZ | kL, kShipped, "wrenly-stub-zlib-lzma.exe"},
    {"AllThree", kZ | kB | kL, kShipped, "wrenly-stub.exe"},
    // A smaller image that covers more wins; of equal ones, the first.
    {"SmallerAndWider", kZ, {{"a.exe", 120, kZ}, {"b.exe", 100, kZ | kB}}, "b.exe"},
    {"EqualSizes", kZ, {{"a.exe", 100, kZ | kL}, {"b.exe", 100, kZ}}, "a.exe"},
    // An image from before LZMA, given alone.
    {"OlderImage",
     kZ | kL,
     {{"old.exe", 100, kZ | kB}},
     nullptr,
     "the package uses zlib and LZMA; old.exe has no LZMA decoder (wrenly-stub.exe holds every decoder)"},
    {"NoneCovers",
     kZ | kB | kL,
     {{"z.exe", 1, kZ}, {"zl.exe", 2, kZ | kL}},
     nullptr,
     "z.exe has no bzip2 and LZMA decoders; zl.exe has no bzip2 decoder"},
};

class StubChoiceTest : public testing::TestWithParam<Case> {};

TEST_P(StubChoiceTest, TakesTheSmallestThatReadsThePackage) {
  const Case& c = GetParam();
  std::vector<StubImage> offered;
  for (const Offer& o : c.offered) offered.push_back({o.name, std::vector<uint8_t>(o.bytes), o.methods});
  std::optional<size_t> chosen = ChooseStub(c.used, offered);
  if (c.chosen) {
    ASSERT_TRUE(chosen);
    EXPECT_EQ(offered[*chosen].path, c.chosen);
  } else {
    EXPECT_FALSE(chosen);
    EXPECT_NE(NoStubText(c.used, offered).find(c.error), std::string::npos) << NoStubText(c.used, offered);
  }
}

INSTANTIATE_TEST_SUITE_P(Stub, StubChoiceTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace wrenly::builder
