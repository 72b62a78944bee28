#include <gtest/gtest.h>

#include "builder/build.h"
#include "test_project.h"

namespace wrenly::builder {
namespace {

struct ErrorCase {
  const char* name;
  std::string toml;
  const char* fragment;
  int line;  // 0: the message names no line
};

std::string Types(int n) {
  std::string s = "[product]\nname = \"P\"\n";
  for (int i = 0; i < n; ++i) s += "[[install_type]]\nname = \"T" + std::to_string(i) + "\"\n";
  return s;
}

const ErrorCase kErrors[] = {
    {"UnknownTopKey", "[product]\nname = \"P\"\n[extra]\n", "unknown key \"extra\"", 3},
    {"UnknownProductKey", "[product]\nname = \"P\"\ncolour = 3\n", "unknown key \"colour\" in [product]", 3},
    {"UnknownFileKey", "[product]\nname = \"P\"\n[[files]]\nsource = \"a.txt\"\nsauce = 1\n", "unknown key \"sauce\"", 5},
    {"WrongType", "[product]\nname = 5\n", "\"name\" must be a string", 2},
    {"WrongBoolType", "[product]\nname = \"P\"\nregister_uninstall = \"yes\"\n", "must be true or false", 3},
    {"MissingProduct", "[setup]\n", "[product] table is missing", 1},
    {"MissingSource", "[product]\nname = \"P\"\n\n[[files]]\nsource = \"nothere.txt\"\n",
     "source file \"nothere.txt\" does not exist", 5},
    {"GlobMatchesNothing", "[product]\nname = \"P\"\n[[files]]\nsource = \"*.none\"\n", "no file matches", 4},
    {"BadPlaceholder", "[product]\nname = \"P\"\n[texts]\n\"4/3\" = \"Folder %d\"\n", "text 4/3 has %d", 4},
    {"UnknownTextKey", "[product]\nname = \"P\"\n[texts]\nx = 1\n", "unknown text \"x\"", 4},
    {"TwoPlaceholdersInFormat", "[product]\nname = \"P\"\n\n[texts]\n\"7/29\" = \"%s or %s\"\n",
     "has 2 placeholders", 5},
    {"NumberWanted", "[product]\nname = \"P\"\n[[install_type]]\nname = \"A\"\n[install_type.texts]\n\"3/8\" = \"%s MB\"\n",
     "text 3/8 has %s where %d", 6},
    {"NoInstallTypes", "install_type = []\n[product]\nname = \"P\"\n", "1 to 16 install types", 1},
    {"SeventeenTypes", Types(17), "17 install types", 35},
    {"SinglePageUnknown", "[product]\nname = \"P\"\n[setup]\nsingle_page = \"intro\"\n", "intro", 4},
    {"InitialTypeMissing", "[product]\nname = \"P\"\n[setup]\nsingle_page = \"finish\"\ninitial_type = 2\n",
     "initial_type 2 names no install type", 5},
    {"UnknownDestination", "[product]\nname = \"P\"\n[[files]]\nsource = \"a.txt\"\ndestination = \"moon\"\n",
     "\"moon\" is not a valid destination", 5},
    {"UndefinedName", "[product]\nname = \"P\"\n[[files]]\nsource = \"${MISSING}/a.txt\"\n",
     "${MISSING} is not defined", 4},
    {"TooManyPages",
     "[product]\nname = \"P\"\npages = [\"welcome\",\"welcome\",\"welcome\",\"welcome\",\"welcome\",\"welcome\","
     "\"welcome\",\"welcome\",\"welcome\",\"welcome\",\"finish\"]\n",
     "11 pages; at most 10", 3},
    {"UnknownPage", "[product]\nname = \"P\"\npages = [\"welcome\", \"intro\"]\n", "\"intro\" is not a valid pages", 3},
    {"BadColour", "[product]\nname = \"P\"\n[background]\ntop_colour = \"blue\"\n", "must be a colour", 4},
    {"SyntaxError", "[product]\nname = \"P\n", "", 2},
    {"RenameSeveral", "[product]\nname = \"P\"\n[[files]]\nsource = \"*.txt\"\nname = \"x.txt\"\n",
     "renames one file", 5},
    {"VersionCheckWithoutResource", "[product]\nname = \"P\"\n[[files]]\nsource = \"a.txt\"\nversion_check = true\n",
     "has no version resource", 5},
};

class ProjectErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(ProjectErrorTest, NamesFileLineAndProblem) {
  const ErrorCase& c = GetParam();
  test::ScratchProject scratch;
  scratch.Write("a.txt", "alpha");
  scratch.Write("b.txt", "beta");
  BuildOptions options;
  options.project = scratch.Project(c.toml);
  options.stub = scratch.Path("stub.exe");
  options.quiet = true;
  std::ostringstream log;
  try {
    Build(options, log);
    FAIL() << "no error for " << c.name;
  } catch (const BuildError& e) {
    std::string what = e.what();
    EXPECT_NE(what.find(c.fragment), std::string::npos) << what;
    EXPECT_EQ(e.where().file, options.project.string()) << what;
    if (c.line) EXPECT_EQ(e.where().line, c.line) << what;
  }
  // Nothing partial is left behind.
  EXPECT_FALSE(std::filesystem::exists(scratch.Path("setup.exe")));
  EXPECT_FALSE(std::filesystem::exists(scratch.Path("setup.exe.partial")));
}

INSTANTIATE_TEST_SUITE_P(Project, ProjectErrorTest, testing::ValuesIn(kErrors),
                         [](const auto& info) { return std::string(info.param.name); });

// Builds a one-line project with a stub of the given bytes.
void BuildWithStub(test::ScratchProject& scratch, const std::string& stub) {
  scratch.Write("stub.exe", stub);
  BuildOptions options;
  options.project = scratch.Project("[product]\nname = \"P\"\n");
  options.stub = scratch.Path("stub.exe");
  options.quiet = true;
  std::ostringstream log;
  Build(options, log);
}

// The message of the BuildError a stub causes, or "" when the build succeeds.
std::string StubError(test::ScratchProject& scratch, const std::string& stub) {
  try {
    BuildWithStub(scratch, stub);
  } catch (const BuildError& e) {
    return e.what();
  }
  return "";
}

TEST(StubErrors, TooLargeForTheSignatureWindowIsRefused) {
  test::ScratchProject scratch;
  std::string error = StubError(scratch, std::string(199995, 'S'));
  EXPECT_NE(error.find("stub is too large"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(scratch.Path("setup.exe")));
}

TEST(StubErrors, LargestStubThatFitsIsAccepted) {
  test::ScratchProject scratch;
  BuildWithStub(scratch, std::string(199994, 'S'));
  auto bytes = test::ReadAll(scratch.Path("setup.exe"));
  EXPECT_EQ(bytes[199994], 0x77);
}

TEST(StubErrors, StubThatContainsTheSignatureIsRefused) {
  test::ScratchProject scratch;
  std::string error = StubError(scratch, std::string(2000, 'S') + "wwgT)H" + std::string(100, 'S'));
  EXPECT_NE(error.find("signature itself at offset 2000"), std::string::npos) << error;
}

TEST(StubErrors, MissingStubIsNamed) {
  test::ScratchProject scratch;
  BuildOptions options;
  options.project = scratch.Project("[product]\nname = \"P\"\n");
  options.stub = scratch.Path("none.exe");
  std::ostringstream log;
  try {
    Build(options, log);
    FAIL();
  } catch (const BuildError& e) {
    EXPECT_NE(std::string(e.what()).find("none.exe"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace wrenly::builder
