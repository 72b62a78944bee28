// Carrying out hand-made plans against a pretend disk: what goes, what stays,
// what waits for the restart, and the exit code a script sees.
#include "uninstaller/undo_run.h"

#include <gtest/gtest.h>
#include <strings.h>

#include "fakes.h"
#include "platform/file_system.h"
#include "uninstaller/command_line.h"

namespace wu = wrenly::uninstaller;

namespace {
// Lower-case path -> attributes and identity (an alias shares one), and its
// SharedDLLs count (0: none).
struct Entry {
  uint32_t attributes, id;
  bool inUse;
  uint32_t count = 0;
};
std::map<std::string, Entry> Drive;
std::vector<std::string> KeysEmptied;
std::vector<std::string> FontValueDeletions;

std::string Low(std::string s) {
  for (char& c : s) c = (char)tolower(c);
  return s;
}
Entry* Find(const char* path) {
  auto it = Drive.find(Low(path));
  return it == Drive.end() ? nullptr : &it->second;
}
}  // namespace

uint32_t PathAttributes(const char* path) { return Find(path) ? Find(path)->attributes : kNoAttributes; }
int RemoveFile(const char* path) {
  Entry* e = Find(path);
  return !e ? kRemoveMissing : e->inUse ? kRemoveInUse : (Drive.erase(Low(path)), kRemoved);
}
int RemoveEmptyFolder(const char* path) {
  if (!Find(path)) return kRemoveMissing;
  std::string below = Low(path) + "\\";
  for (auto& [p, e] : Drive)
    if (p.compare(0, below.size(), below) == 0) return kRemoveNotEmpty;
  return Drive.erase(Low(path)), kRemoved;
}
int GetFolderIdentity(const char* path, FolderIdentity* out) {
  return Find(path) && (*out = {7, 0, Find(path)->id}, 1);
}
int DeleteRegistryValue(uint32_t root, const char* key, const char*) { return DeleteRegistryTree(root, key); }
int DeleteEmptyRegistryKey(uint32_t root, const char* key) {
  if (std::string(key) == "Software\\Vendor") return kRemoveNotEmpty;
  return KeysEmptied.push_back(std::to_string(root) + "|" + key), kRemoved;
}
void DeleteMachineValuesWithData(const char* key, const char* a, const char* b) {
  FontValueDeletions.push_back(std::string(key) + "|" + a + "|" + b);
}
void DeleteIniValue(const char*, const char*, const char*) {}

namespace {
constexpr uint32_t kFolder = kAttributeFolder, kLink = kAttributeFolder | kAttributeReparsePoint;

wu::UndoStep Step(wu::UndoKind kind, const char* path, wu::PathRefusal refusal = wu::kPathGood) {
  return wu::UndoStep{kind, refusal, 2, path, "", ""};
}
// A 64-bit product's step.
wu::UndoStep Wide(wu::UndoStep s) { return s.wide = true, s; }
std::pair<std::string, Entry> OnDisk(std::string path, Entry e) { return {path, e}; }

struct RunCase {
  const char* name;
  std::vector<std::pair<std::string, Entry>> disk;
  std::vector<wu::UndoStep> steps;
  const char* ownFile = nullptr;  // the original, going at the restart
  uint32_t exit;
  std::vector<std::string> after;         // what is left on the disk
  std::vector<std::string> restart = {};  // deletions at the restart, in order
  std::map<std::string, uint32_t> countsAfter = {};
  int copyEndsIn = -1;                  // a temporary copy runs the steps and ends in this one, unreported
  std::vector<std::string> fonts = {};  // taken out of the system's font table
  std::vector<std::string> keysEmptied = {};
};

const char kApp[] = "C:\\App";
}  // namespace

TEST(UndoRunTest, StepTable) {
  using enum wu::UndoKind;
  const Entry file{0x20, 0, false}, used{0x20, 0, true}, folder{kFolder, 1, false}, link{kLink, 2, false};
  const RunCase cases[] = {
      {.name = "files go, missing ones count as gone, the emptied folders after them; a folder named as a file stays",
       .disk = {OnDisk("C:\\App", folder), OnDisk("C:\\App\\sub", {kFolder, 3}), OnDisk("C:\\App\\sub\\a.exe", file),
                OnDisk("C:\\App\\d.exe", {kFolder, 6})},
       .steps = {Step(kUndoFile, "C:\\App\\sub\\a.exe"), Step(kUndoFile, "C:\\App\\gone.exe"),
                 Step(kUndoFile, "C:\\App\\d.exe"), Step(kUndoFolder, "C:\\App\\sub")},
       .exit = wu::kExitDone,
       .after = {"c:\\app", "c:\\app\\d.exe"}},
      {.name = "a file in use and the folders holding it go at the restart, after it",
       .disk = {OnDisk("C:\\App", folder), OnDisk("C:\\App\\sub", {kFolder, 3}), OnDisk("C:\\App\\sub\\b.dll", used)},
       .steps = {Step(kUndoFile, "C:\\App\\sub\\b.dll"), Step(kUndoFolder, "C:\\App\\sub")},
       .exit = wu::kExitRestart,
       .after = {"c:\\app", "c:\\app\\sub", "c:\\app\\sub\\b.dll"},
       .restart = {"C:\\App\\sub\\b.dll", "C:\\App\\sub", "C:\\App"}},
      {.name = "nothing behind a junction is touched, not even an empty folder",
       .disk = {OnDisk("C:\\App", folder), OnDisk("C:\\App\\j", link), OnDisk("C:\\App\\j\\x.txt", file),
                OnDisk("C:\\App\\j\\e", {kFolder, 4})},
       .steps = {Step(kUndoFile, "C:\\App\\j\\x.txt"), Step(kUndoFolder, "C:\\App\\j\\e"),
                 Step(kUndoFolder, "C:\\App\\j")},
       .exit = wu::kExitPartial,
       .after = {"c:\\app", "c:\\app\\j", "c:\\app\\j\\e", "c:\\app\\j\\x.txt"}},
      {.name = "the Windows folder under its short name stays; a shell folder as a group is no failure",
       .disk = {OnDisk("C:\\WINDOWS", {kFolder, 9}), OnDisk("C:\\WINDOW~1", {kFolder, 9}),
                OnDisk("C:\\Menu", {kFolder, 8})},
       .steps = {Step(kUndoGroup, "C:\\Menu"), Step(kUndoFolder, "C:\\WINDOW~1")},
       .exit = wu::kExitPartial,
       .after = {"c:\\menu", "c:\\windows", "c:\\window~1"}},
      {.name = "a shared file goes with its last count; an unknown count keeps it",
       .disk = {OnDisk("C:\\App\\s1.dll", {0x20, 0, false, 3}), OnDisk("C:\\App\\s2.dll", {0x20, 0, false, 1}),
                OnDisk("C:\\App\\s3.dll", file)},
       .steps = {Step(kUndoSharedFile, "C:\\App\\s1.dll"), Step(kUndoSharedFile, "C:\\App\\s2.dll"),
                 Step(kUndoSharedFile, "C:\\App\\s3.dll")},
       .exit = wu::kExitDone,
       .after = {"c:\\app\\s1.dll", "c:\\app\\s3.dll"},
       .countsAfter = {{"C:\\App\\s1.dll", 2}}},
      {.name = "a refused step and a registry key that will not go are counted; a missing key is gone",
       .disk = {OnDisk("C:\\App\\r.txt", file)},
       .steps = {Step(kUndoFile, "C:\\App\\r.txt", wu::kPathDots), Step(kUndoRegistryKey, "Software\\Gone"),
                 Step(kUndoRegistryKey, "Software\\Stuck")},
       .exit = wu::kExitPartial,
       .after = {"c:\\app\\r.txt"}},
      {.name = "a folder holding the user's file stays without failing; one holding the original goes after it",
       .disk = {OnDisk("C:\\App", folder), OnDisk("C:\\App\\doc.txt", file), OnDisk("C:\\Other", {kFolder, 5}),
                OnDisk("C:\\Other\\uninstall.exe", used)},
       .steps = {Step(kUndoFolder, "C:\\App"), Step(kUndoFolder, "C:\\Other")},
       .ownFile = "C:\\Other\\uninstall.exe",
       .exit = wu::kExitDone,
       .after = {"c:\\app", "c:\\app\\doc.txt", "c:\\other", "c:\\other\\uninstall.exe"},
       .restart = {"C:\\Other"}},
      {.name = "after a copy that ended: its outcomes count, a plain step is done again, the rest follows",
       .disk = {OnDisk("C:\\App\\a.txt", used), OnDisk("C:\\App\\b.txt", file), OnDisk("C:\\App\\c.txt", file)},
       .steps = {Step(kUndoFile, "C:\\App\\a.txt"), Step(kUndoFile, "C:\\App\\b.txt"),
                 Step(kUndoFile, "C:\\App\\c.txt")},
       .exit = wu::kExitRestart,
       .after = {"c:\\app\\a.txt"},
       .restart = {"C:\\App\\a.txt"},
       .copyEndsIn = 1},
      {.name = "after a copy that ended in a shared file's step: the count is not lowered twice",
       .disk = {OnDisk("C:\\App\\s1.dll", {0x20, 0, false, 3}), OnDisk("C:\\App\\c.txt", file)},
       .steps = {Step(kUndoSharedFile, "C:\\App\\s1.dll"), Step(kUndoFile, "C:\\App\\c.txt")},
       .exit = wu::kExitPartial,
       .after = {"c:\\app\\s1.dll"},
       .countsAfter = {{"C:\\App\\s1.dll", 2}},
       .copyEndsIn = 0},
      {.name = "emptied keys go up to the vendor's while empty, never the system's; a 64-bit product's in its view",
       .steps = {Step(kUndoRegistryValue, "Software\\Vendor\\Demo"), Step(kUndoRegistryKey, "software\\Other\\App\\"),
                 Step(kUndoRegistryValue, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
                 Step(kUndoRegistryValue, "Software\\Classes\\.demo"), Step(kUndoRegistryValue, "Software"),
                 Wide(Step(kUndoRegistryValue, "Software\\Wide\\Demo"))},
       .exit = wu::kExitDone,
       .keysEmptied = {"2|Software\\Vendor\\Demo", "2|software\\Other", "258|Software\\Wide\\Demo",
                       "258|Software\\Wide"}},
      {.name = "fonts leave the table and both families' values, the change told once",
       .disk = {OnDisk("C:\\Fonts\\w.ttf", file)},
       .steps = {Step(kUndoFont, "C:\\Fonts\\w.ttf"), Step(kUndoFont, "C:\\Fonts\\v.ttf")},
       .exit = wu::kExitDone,
       .fonts = {"w.ttf", "v.ttf"}},
  };
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.name);
    ResetFakes();
    Drive.clear(), FontValueDeletions.clear(), KeysEmptied.clear();
    FakeFiles.keyResults = {{"2|Software\\Stuck", kRemoveFailed}}, Fake.specialFolders[0x02] = "C:\\Menu";
    for (auto& [p, e] : c.disk)
      if (Drive[Low(p)] = e; e.count) FakeFiles.dwords[std::string(kSharedKey) + "|" + p] = e.count;
    std::vector<wu::UndoStep> steps = c.steps;
    wu::UndoPlan plan{steps.data(), (uint32_t)steps.size(), 1, nullptr};
    wu::UndoGuard guard;
    wu::CollectGuardedFolders(&guard);
    wu::UndoRun run;
    ASSERT_TRUE(wu::BeginUndoRun(&run, &plan, &guard));
    if (c.copyEndsIn >= 0) {
      wu::UndoRun copy;
      ASSERT_TRUE(wu::BeginUndoRun(&copy, &plan, &guard));
      uint32_t result = 0;
      while (wu::RunNextStep(&copy) && (int)copy.next <= c.copyEndsIn)
        EXPECT_FALSE(wu::TakeCopyMessage(&run, wu::StepReport(copy.outcomes[copy.next - 1]), &result));
      wu::EndUndoRun(&copy);
      wu::SkipInterruptedStep(&run);
    }
    while (wu::RunNextStep(&run)) {}
    EXPECT_EQ(wu::UndoExitCode(run), c.exit);
    wu::RetryFolders(&run, kApp, c.ownFile);
    wu::EndUndoRun(&run);
    std::vector<std::string> after, restart, fonts, values;
    for (auto& [p, e] : Drive) after.push_back(p);
    for (auto& [from, to] : FakeFiles.restartMoves) restart.push_back(from);
    std::map<std::string, uint32_t> counts;  // a count that reaches 0 is gone
    for (auto& [p, n] : c.countsAfter) counts[std::string(kSharedKey) + "|" + p] = n;
    for (auto& name : c.fonts) {
      fonts.push_back("C:\\Fonts\\" + name);
      for (const char* key : {kFontsKeyNt, kFontsKey9x}) values.push_back(key + ("|" + name + "|") + fonts.back());
    }
    EXPECT_EQ(std::tuple(after, restart, FakeFiles.dwords, FakeFiles.fontsRemoved, FontValueDeletions, KeysEmptied),
              std::tuple(c.after, c.restart, counts, fonts, values, c.keysEmptied));
    EXPECT_EQ(FakeFiles.fontBroadcasts, fonts.empty() ? 0 : 1);
  }
}

// An upgrade removes what only the older version had: never a file, folder,
// INI line or registry key or value that the newer one takes as well.
TEST(UndoRunTest, SubtractPlanTable) {
  using enum wu::UndoKind;
  auto value = [](const char* key, const char* name) {
    return wu::UndoStep{kUndoRegistryValue, wu::kPathGood, 2, key, name, ""};
  };
  std::vector<wu::UndoStep> older = {Step(kUndoUnregister, "C:\\App\\s.dll"),
                                     Step(kUndoFile, "C:\\App\\s.dll"),
                                     Step(kUndoFile, "C:\\App\\gone.txt"),
                                     Step(kUndoFolder, "C:\\App\\data"),
                                     Step(kUndoFolder, "C:\\App\\old"),
                                     Step(kUndoRegistryKey, "Software\\V\\A"),
                                     Step(kUndoRegistryKey, "Software\\V\\Old"),
                                     value("Software\\V\\Run", "a"),
                                     value("Software\\V\\Run", "b"),
                                     value("Software\\V\\A\\Sub", "x"),
                                     Step(kUndoRegistryKey, "Software\\V")};
  const std::vector<wu::UndoStep> newer = {value("Software\\V\\New", "n"), Step(kUndoFolder, "C:\\App\\data"),
                                           Step(kUndoRegistryKey, "software\\v\\a\\"), value("Software\\V\\Run", "a"),
                                           Step(kUndoFile, "c:\\app\\S.DLL")};
  wu::UndoPlan plan{older.data(), (uint32_t)older.size(), 1, nullptr};
  wu::SubtractPlan(&plan, {const_cast<wu::UndoStep*>(newer.data()), (uint32_t)newer.size(), 1, nullptr});
  std::vector<std::string> left;
  for (uint32_t i = 0; i < plan.count; ++i) left.push_back(plan.steps[i].path + std::string("|") + plan.steps[i].name);
  EXPECT_EQ(left, (std::vector<std::string>{"C:\\App\\gone.txt|", "C:\\App\\old|", "Software\\V\\Old|",
                                            "Software\\V\\Run|b"}));
}

TEST(UndoRunTest, CommandLineTable) {
  struct {
    const char* line;
    int good;
    bool silent, copy;
    uint64_t pipe = 0, process = 0;
    const char* original = "";
    bool quiet = false;
    const char* log = "";
    const char* previous = "";  // and its folder, "|" between
  } cases[] = {
      {"", 1, false, false},
      {"  /s ", 1, true, false},
      {"/S /X", 0, true, false},  // still silent: a script sees 5, no window
      {"/SILENT", 0, false, false},
      {"/S /RUN=1c,2B0 \"C:\\Program Files\\A\\uninstall.exe\"", 1, true, true, 0x1c, 0x2b0,
       "C:\\Program Files\\A\\uninstall.exe"},
      {"/RUN=1C \"C:\\a.exe\"", 0, false, false},
      {"/RUN=1,2 C:\\a.exe", 0, false, false},
      {"/RUN=1,2 \"C:\\a.exe\"x", 0, false, false},
      {"/RUN=1,2 \"C:\\a.exe\" /RUN=3,4 \"C:\\b.exe\"", 0, false, true, 1, 2, "C:\\a.exe"},
      {"/RUN=11111111111111111,2 \"C:\\a.exe\"", 0, false, false},
      {.line = "/q /L\"C:\\My Logs\\u.log\"", .good = 1, .silent = true, .quiet = true, .log = "C:\\My Logs\\u.log"},
      {.line = "/LC:\\u.log /S", .good = 1, .silent = true, .log = "C:\\u.log"},
      {.line = "/L", .good = 0},
      {.line = "/L\"C:\\open", .good = 0},
      {.line = "/L\"\"", .good = 0},
      {"/Q /L\"C:\\a b.log\" /RUN=1,2 \"C:\\a.exe\"", 1, true, true, 1, 2, "C:\\a.exe", true, "C:\\a b.log"},
      {.line = "/Q /P\"C:\\T\\old.$$A\" /F\"C:\\Program Files\\A\"",
       .good = 1,
       .silent = true,
       .quiet = true,
       .previous = "C:\\T\\old.$$A|C:\\Program Files\\A"},
      {.line = "/PC:\\old.dat", .good = 0, .silent = true, .previous = "C:\\old.dat|"},  // no folder
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    wu::UninstallCommand command;
    EXPECT_EQ((std::tuple{wu::ParseUninstallCommand(c.line, &command), command.silent, command.copy, command.quiet,
                          std::string(command.log),
                          *command.previous ? command.previous + std::string("|") + command.previousFolder : ""}),
              std::tuple(c.good, c.silent, c.copy, c.quiet, std::string(c.log), std::string(c.previous)));
    if (!c.copy) continue;
    EXPECT_EQ(std::tuple(command.pipe, command.process, std::string(command.original)),
              std::tuple(c.pipe, c.process, c.original));
    // What the original writes, its copy reads back the same.
    char line[600];
    ASSERT_TRUE(wu::FormatCopyCommand("C:\\Temp\\w x\\uninstall.exe", command, line, sizeof line));
    const char* args = strstr(line, ".exe\" ") + 6;
    wu::UninstallCommand back;
    EXPECT_EQ((std::tuple{wu::ParseUninstallCommand(args, &back), back.pipe, std::string(back.original), back.quiet,
                          std::string(back.log)}),
              std::tuple(1, command.pipe, std::string(command.original), command.quiet, std::string(command.log)));
    EXPECT_FALSE(wu::FormatCopyCommand("C:\\Temp\\w x\\uninstall.exe", command, line, 40));
  }
}
