#include <gtest/gtest.h>

#include <filesystem>

#include "engine_driver_fixture.h"
#include "install/data_area.h"
#include "text/error_text.h"

namespace {

using Driver = EngineTest;

TEST_F(Driver, GoToPageKindTable) {
  Bytes common{0, 1, 3, 4, 5, 6, 10, 0xFF};
  struct { Bytes sequence; int kind, index, result; } cases[] = {  // the start is index 9, result 0
      {common, 6, 4, 1}, {common, 2, 9, 0},
      {{0, 1, 0xFF, 6}, 6, 9, 0},  // behind the end mark
      {{5, 6, 6, 0xFF}, 6, 0, 1},  // the first one
      {{0, 1, 2, 3, 4, 5, 10, 10, 10, 10, 10, 10}, 6, 9, 0},  // no end mark: stops at 12 bytes
  };
  for (auto& c : cases) {
    InstallTypeFields plan;
    plan.sequence = c.sequence;
    Load(EntryTable({}), {}, plan);
    PageIndex = 9;
    PageResult = 0;
    GoToPageKind(c.kind);
    EXPECT_EQ(std::pair(PageIndex, PageResult), std::pair(c.index, c.result)) << c.kind;
  }
}

TEST_F(Driver, ErrorText) {
  struct { std::string what, text, argument, expected; } cases[] = {
      {"%d without a number stays", "Disk %d: %s, 100%", "x", "Disk %d: x, 100%"},
      {"%% is one % when formatting", "%s at 100%%", "x", "x at 100%"},
      {"a long text is cut at 1,023 bytes", "%s" + std::string(2000, 't'), "a", "a" + std::string(1022, 't')},
      {"a long argument is cut at 259 bytes", "[%s]", std::string(300, 'p'), "[" + std::string(259, 'p') + "]"},
  };
  for (auto& c : cases) {
    messages[20] = c.text;
    Load(EntryTable({}));
    SetErrorArgument(c.argument.c_str());
    char buffer[kErrorTextSize + 16];
    std::memset(buffer, '#', sizeof buffer);
    FormatErrorText(buffer, 20);
    EXPECT_EQ(std::string(buffer), c.expected) << c.what;
    EXPECT_EQ(buffer[kErrorTextSize], '#') << c.what << ": wrote past 1,024 bytes";
  }
  char buffer[kErrorTextSize];
  FormatErrorText(buffer, 40);
  EXPECT_STREQ(buffer, "") << "beyond the list";
}

TEST_F(Driver, CheckDestinationFolderTable) {
  struct { const char *what, *folder; bool exists, singlePage; std::string question; int answer, result;
           const char* after; bool created; } cases[] = {
      {"existing folder", "C:\\Apps\\Demo\\", true, false, "Create?", 0, 0, "C:\\Apps\\Demo\\", false},
      {"drive root keeps its backslash", "C:\\", true, false, "", 0, 0, "C:\\", false},
      {"relative becomes full", "Demo", false, false, "", 0, 0, "C:\\Work\\Demo\\", false},
      {"empty", "", false, false, "", 0, 5, "", false},
      {"missing, asked, Yes", "C:\\New\\Sub", false, false, "Create?", kAnswerYes, 0, "C:\\New\\Sub\\", true},
      {"missing, asked, No", "C:\\New\\Sub", false, false, "Create?", kAnswerNo, -1, "C:\\New\\Sub", false},
      {"missing, no question", "C:\\New", false, false, "", 0, 0, "C:\\New\\", true},
      {"single page creates nothing", "C:\\New", false, true, "", 0, 0, "C:\\New\\", false},
      {"cannot be created", "\\\\server\\share", false, false, "", 0, 5, "\\\\server\\share", false},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh();
    messages[6] = c.question;
    Load(EntryTable({}));
    SinglePageMode = c.singlePage;
    if (c.exists) Fake.AddFolder(c.folder);
    Fake.AddFolder("C:\\Work\\Demo");
    Disk.fullPaths["Demo"] = "C:\\Work\\Demo";
    std::strcpy(InstallFolder, c.folder);
    Ui.defaultAnswer = c.answer;
    int result = CheckDestinationFolder();
    EXPECT_EQ(std::tuple(result, std::string(InstallFolder), Ui.messages.size(), !Fake.created.empty()),
              std::tuple(c.result, c.after, c.question.empty() || c.exists ? 0u : 1u, c.created));
  }
}

// A run that cannot start stops there; the completion step goes to the
// finish page unless the run was single-page or cancelled.
TEST_F(Driver, StartAndFinish) {
  struct { const char* what; bool checked, vanish, singlePage, cancelled; int result, index, page; } cases[] = {
      {"a full disk", false, false, false, false, 11, 9, 0},
      {"the package vanished", true, true, false, false, 16, 9, 0},
      {"finished", true, false, false, false, 0, 4, 1},
      {"single-page", true, false, true, false, 0, 9, 0},
      {"cancelled", true, false, false, true, 0, 9, 2},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh();
    Load(EntryTable({}), Bytes(10, 1));
    ::Run.destinationChecked = c.checked;
    std::strcpy(InstallFolder, "C:\\Full");
    Fake.AddFolder("C:\\Full");
    Disk.freeBytes = 0;
    if (c.vanish) std::filesystem::remove(OwnPath);
    SinglePageMode = c.singlePage;
    UserCancelled = c.cancelled;
    PageIndex = 9;
    PageResult = c.cancelled ? 2 : 0;
    RunInstallationHeadless();
    bool closed = DataArea.volume == INVALID_FILE;
    EXPECT_EQ(std::tuple(ResultCode, ::Run.finished, ::Run.running, closed, PageIndex, PageResult),
              std::tuple(c.result, c.result == 0, false, true, c.index, c.page));
    if (c.vanish) EXPECT_STREQ(ErrorArgument, PackagePath);
  }
}

}  // namespace
