// The uninstaller reads what the Installer's completion step writes, and
// refuses the whole file at the first lie; record paths are judged before use.
#include "builder/records.h"
#include "fixtures.h"
#include "format/container.h"
#include "uninstaller/path_rules.h"
#include "uninstaller/undo_plan.h"

namespace wu = wrenly::uninstaller;
using UninstallRecordTest = InstallerTest;

namespace {
std::string S(wu::TextView t) { return std::string(t.text, t.length); }
std::string S(unsigned n) { return std::to_string(n); }
template <class... T>
void Add(void* context, unsigned n, const char* kind, const T&... parts) {
  std::string& seen = *(std::string*)context;
  seen += S(n) + " " + kind + " ";
  const char* sep = "";
  ((seen += sep + S(parts), sep = "|"), ...);
  seen += "\n";
}
// Everything the visitor saw, a line per item, then the refusal if any.
std::string Read(const Bytes& file) {
  std::string seen;
  wu::RecordVisitor v{
      &seen, [](void* c, uint16_t i, wu::TextView t) { Add(c, i, "text", t); },
      [](void* c, uint32_t r, const wu::FileRecordView& f) { Add(c, r, "file", f.folder, f.name, +f.kind); },
      [](void* c, uint32_t r, const wu::ShortcutRecordView& k) { Add(c, r, "link", +k.depth, k.folder, k.name); },
      [](void* c, uint32_t r, const wu::SectionView& x) { Add(c, r, "sect", +x.id, x.root, x.file, x.key, x.name); }};
  wu::UninstallFile out{};
  if (int r = wu::ReadUninstallFile(file.data(), (uint32_t)file.size(), &v, &out)) seen += "refused " + S(r) + "\n";
  return seen;
}
}  // namespace

TEST_F(UninstallRecordTest, ReaderAndPlanTables) {
  // The record the completion step appends after a program whose image holds
  // a decoy texts header; the builder's own data and sections.
  Bytes image = ToBytes("MZ prog"), decoy = Words({0x1234, 2}), sections;
  image.insert(image.end(), decoy.begin(), decoy.end());
  const uint32_t program = image.size();
  const Bytes data = wrenly::builder::BuildUninstallerData({"Remove Demo?", ""});
  image.insert(image.end(), data.begin(), data.end());  // as a failed run leaves it
  wrenly::builder::AddRegistryKeySection(sections, 2, "Software\\Demo");
  wrenly::builder::AddRegistryValueSection(sections, 1, "Software\\Run", "Demo");
  wrenly::builder::AddIniValueSection(sections, {"C:\\win.ini", "Demo", "Folder"});
  Load(FileTable({{{"a.txt", "Tools", "A.lnk", "", "", "D.lnk"}},
                  {{"sub\\"}, 0, wf::kFlagFolder},
                  {{"sub\\deep\\"}, 0, wf::kFlagFolder},
                  {{"sub\\b.dll"}, 0, 0x1000}}),
       {}, {.productName = ""}, {}, sections);
  Fake.specialFolders[2] = "C:\\P", Fake.AddFolder("C:\\P"), Fake.specialFolders[0x10] = "C:\\Desktop";
  Finish("C:\\App\\", image, {wf::kOutcomeCreated, wf::kOutcomeCreated, wf::kOutcomeCreated, wf::kOutcomeCreated});
  const Bytes typical = ToBytes(ReadAll(Path("uninstall.exe")));
  std::vector<uint32_t> block;  // texts, files, shortcuts, three sections, the end
  for (uint32_t b = program; b < typical.size(); b += 8 + wf::LoadU32(&typical[b + 4])) block.push_back(b);
  ASSERT_EQ(block.size(), 7u);
  const uint32_t record = block[1];
  const std::string texts = "0 text Remove Demo?\n1 text \n";
  const std::string items =
      "0 file .|a.txt|0\n0 file C:\\Desktop|D.lnk|0\n0 file .\\sub||0\n0 file .\\sub\\deep||0\n0 file .\\sub|b.dll|4\n"
      "0 link 0|C:\\P\\Tools|A.lnk\n0 sect 4672|2||Software\\Demo|\n0 sect 4673|1||Software\\Run|Demo\n"
      "0 sect 4674|0|C:\\win.ini|Demo|Folder\n";
  auto patched = [&](uint32_t at, Bytes with) {
    Bytes b = typical;
    return std::ranges::copy(with, &b[at]), b;
  };
  Bytes twice(typical.begin(), typical.end() - wf::block_header::kSize);  // a second record appended by option 0x10
  twice.insert(twice.end(), typical.begin() + record, typical.end());
  std::string second = items;  // the same items, numbered 1
  for (size_t i = 0; i < second.size(); i = second.find('\n', i) + 1) second[i] = '1';
  auto refused = [](unsigned r) { return "refused " + S(r) + "\n"; };
  struct {
    const char* what;
    Bytes file;
    std::string seen;
  } cases[] = {
      {"typical", typical, texts + items},
      {"two records", twice, texts + items + second},
      {"no record: the run failed", image, refused(wu::kRecordNoEnd)},
      {"file count one too many", patched(record + 8, Words({6})), refused(wu::kRecordPastEnd)},
      {"file count one too few", patched(record + 8, Words({4})), refused(wu::kRecordLeftover)},
      {"a name past its block", patched(record + 12, {0xFF, 0}), refused(wu::kRecordPastEnd)},
      {"a section past the file", patched(block[5] + 4, Words({0x7FFFFFFF})), refused(wu::kRecordPastEnd)},
      {"a section of another kind", patched(block[4], {0x44, 0x12}), refused(wu::kRecordUnknownBlock)},
      {"shortcuts away from their files", patched(block[4], {0x36, 0x12}), refused(wu::kRecordUnknownBlock)},
      {"texts lie about their count", patched(block[0] + 8, {3, 0}), refused(wu::kRecordPastEnd)},
  };
  for (auto& c : cases) EXPECT_EQ(Read(c.file), c.seen) << c.what;
  for (size_t cut = 0; cut + 1 < typical.size(); ++cut)
    ASSERT_TRUE(Read(Bytes(typical.begin(), typical.begin() + cut)).starts_with("refused "))
        << cut;  // the refusal alone

  // The plan of such files: phases in order, "." below the installation
  // folder, newest record first, groups and folders once and deepest first.
  auto edit = [](Bytes b, std::string from, std::string to, size_t after = 0) {
    return std::ranges::copy(to, std::search(b.begin() + after, b.end(), from.begin(), from.end())), b;
  };
  auto swap = [](std::string s, std::string from, std::string to) { return s.replace(s.find(from), from.size(), to); };
  const std::string unregister = "0 C:\\App\\sub\\b.dll\n";
  const std::string registry = "7 Software\\Demo|2\n8 Software\\Run|1|Demo\n9 C:\\win.ini|0|Demo|Folder\n";
  const std::string files = "1 C:\\Desktop\\D.lnk\n1 C:\\App\\sub\\b.dll\n4 C:\\P\\Tools\\A.lnk\n";
  const std::string once = "5 C:\\P\\Tools\n6 C:\\App\\sub\\deep\n6 C:\\App\\sub\n";
  const std::string steps = unregister + "1 C:\\App\\a.txt\n" + files + once + registry;
  // A 64-bit product's record: its product section among its sections.
  Bytes x64 = typical, product = {0x43, 0x12, 0, 0, 6, 0, 0, 0, 1, 0, 0, 0, 0, 0};
  x64.insert(x64.end() - wf::block_header::kSize, product.begin(), product.end());
  std::string wide = steps;
  for (size_t i = 0; (i = wide.find('\n', i)) != wide.npos; i += 6) wide.insert(i, " wide");
  struct {
    const char* what;
    Bytes file;
    std::string steps;
  } plans[] = {
      {"typical", typical, steps},
      {"a 64-bit product's steps in its views", x64, wide},
      {"two records", edit(twice, "a.txt", "n.txt", typical.size()),  // in each phase the newer first
       unregister + unregister + "1 C:\\App\\n.txt\n" + files + "1 C:\\App\\a.txt\n" + files + once + registry +
           registry},
      {"group levels from the depth, never the menu folder or above", patched(block[2] + 12, {3}), steps},
      {"a group outside every menu folder", edit(patched(block[2] + 12, {3}), "C:\\P\\Tools", "C:\\Q\\Tools"),
       swap(swap(steps, "C:\\P\\Tools\\A", "C:\\Q\\Tools\\A"), "5 C:\\P\\Tools\n", "5 C:\\Q\\Tools !10\n")},
      {"another account's menu", edit(patched(block[2] + 12, {3}), "C:\\P\\Tools", "D:\\U\\P\\Too"),
       swap(swap(steps, "C:\\P\\Tools\\A", "D:\\U\\P\\Too\\A"), "5 C:\\P\\Tools\n", "5 D:\\U\\P\\Too\n")},
      {"refusals, a key of one component", edit(edit(typical, "a.txt", "a:txt"), "Software\\Demo", "Software_Demo"),
       swap(swap(steps, "a.txt\n", "a:txt !6\n"), "Software\\Demo|2", "Software_Demo|2 !7")},
      {"a NUL would cut a key short", edit(typical, "Software\\Demo", std::string("Software\\D\0mo", 13)),
       swap(steps, "Software\\Demo|2", "Software\\D|2 !9")},
      {"a font before a shared file", edit(typical, "b.dll\4", "b.dll\3"),
       swap(steps.substr(unregister.size()), "1 C:\\App\\sub\\b.dll", "3 C:\\App\\sub\\b.dll")},
      {"a bare INI name is the Windows folder's", edit(typical, "C:\\win.ini", "system.ini"),
       swap(steps, "C:\\win.ini", "C:\\Windows\\system.ini")},
  };
  for (auto& c : plans) {
    wu::UndoPlan plan;
    const char* menus[] = {"C:\\P\\", "?:\\*\\p"};
    ASSERT_TRUE(wu::BuildUndoPlan(c.file.data(), c.file.size(),
                                  {"C:\\App\\", "C:\\Windows", "C:\\Windows\\System32", menus, 2}, &plan));
    std::string seen;
    for (const wu::UndoStep* s = plan.steps; s < plan.steps + plan.count; ++s) {
      seen += S(s->kind) + " " + s->path + (s->kind >= wu::kUndoRegistryKey ? "|" + S(s->root) : "");
      for (const char* t : {s->name, s->key}) seen += *t ? "|" + std::string(t) : "";
      seen += (s->refusal ? " !" + S(s->refusal) : "") + (s->wide ? " wide\n" : "\n");
    }
    EXPECT_EQ(seen, c.steps) << c.what;
    wu::FreeUndoPlan(&plan);
  }
}

TEST(PathRulesTest, Table) {
  const struct {
    wu::PathRefusal refusal;
    std::vector<const char*> paths;  // a folder and a name each, joined by '|'
  } cases[] = {
      {wu::kPathTooLong, {".|a-name-longer-than-out.txt"}},
      {wu::kPathDots, {".\\..\\..|x", "C:\\App\\...|x", "C:\\|windows."}},
      {wu::kPathRelative, {".x|a", "App|a", "\\App|a", "C:App|a"}},
      {wu::kPathDevice, {".|nul", "C:\\Com1.txt|a", ".|lpt9 .log", ".\\aux|a"}},
      {wu::kPathPrefix, {"\\\\?\\C:\\App|a", "//./C:|a"}},
      {wu::kPathStream, {".|a.txt:evil"}},
      {wu::kPathRoot, {"C:\\|", "c:\\\\|", "\\\\srv\\share|"}},
      {wu::kPathProtected, {"C:\\windows|", "c:\\Windows\\|SYSTEM32", "C:\\\\Windows|"}},
      {wu::kPathCharacter, {"C:\\Windows\x1f|", ".|*.*"}},
      {wu::kPathGood,  // then the path
       {".|a.txt|C:\\App\\a.txt", ".\\sub\\made||C:\\App\\sub\\made", ".\\data/img|a.bmp|C:\\App\\data\\img\\a.bmp",
        "\\\\srv\\share\\d|f|\\\\srv\\share\\d\\f", "C:\\Windows\\System32|x.dll|C:\\Windows\\System32\\x.dll",
        ".|com10|C:\\App\\com10"}},
  };
  for (auto& c : cases)
    for (std::string_view line : c.paths) {
      size_t bar = line.find('|'), second = line.find('|', bar + 1);
      std::string folder(line.substr(0, bar)), name(line.substr(bar + 1, second - bar - 1));
      char out[32] = "";
      wu::TextView f{folder.c_str(), (uint16_t)folder.size()}, n{name.c_str(), (uint16_t)name.size()};
      EXPECT_EQ(wu::ResolveRecordPath(f, n, "C:\\App\\", "C:\\Windows", "C:\\WINDOWS\\system32\\", out, sizeof out),
                c.refusal)
          << line;
      if (c.refusal == wu::kPathGood) EXPECT_EQ(out, line.substr(second + 1)) << line;
    }
}

// The uninstaller's own path less its place, or its folder when renamed.
TEST(InstallFolderTest, Table) {
  struct {
    const char *own, *place;
    uint32_t size;
    const char* folder;
  } cases[] = {
      {"C:\\Program Files\\App\\bin\\uninstall.exe", "bin\\uninstall.exe", 260, "C:\\Program Files\\App"},
      {"C:\\APP\\BIN\\UNINSTALL.EXE", "bin\\uninstall.exe", 260, "C:\\APP"},
      {"C:\\A\\unins.exe", "uninstall.exe", 260, "C:\\A"},
      {"C:\\App\\xbin\\uninstall.exe", "bin\\uninstall.exe", 260, "C:\\App\\xbin"},  // not at a backslash
      {"C:\\App\\uninstall.exe", "uninstall.exe", 7, "C:\\App"},
      {"C:\\App\\uninstall.exe", "uninstall.exe", 6, ""},
  };
  for (auto& c : cases) {
    char out[260] = "";
    EXPECT_EQ(wu::FindInstallFolder(c.own, {c.place, (uint16_t)strlen(c.place)}, out, c.size), *c.folder != 0) << c.own;
    EXPECT_STREQ(out, c.folder);
  }
}
