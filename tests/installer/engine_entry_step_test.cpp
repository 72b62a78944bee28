// The per-entry step over files in memory: a package with the given entries is
// loaded, the run started, and InstallNextEntry called until it stops.
#include <zlib.h>

#include <climits>

#include "base/run_log.h"
#include "builder/compress.h"
#include "fixtures.h"
#include "platform/file_system.h"

namespace {

using Boxes = std::vector<std::pair<std::string, unsigned>>;  // text, style
constexpr int Cancelled = kResultCancelled, Unwritable = kResultCannotWrite, NoVolume = kResultVolumeMissing,
              Refused = kResultFileDamaged, Incomplete = kResultPackageIncomplete;
constexpr uint16_t Created = wf::kOutcomeCreated, Replaced = wf::kOutcomeReplaced, AtRestart = wf::kOutcomeAtRestart,
                   Kept = wf::kOutcomeKept;

// The method byte, then the stream.
Bytes Entry(uint8_t method, Bytes stream) { return stream.insert(stream.begin(), method), stream; }

// One data.txt entry: what is there before, the entry, the answers given;
// then what the step leaves. A file written holds the content, and only
// then; a file left to the restart waits beside the destination.
// How the existing file is held; NoRestart: the run may not ask for a
// restart-time replacement (a per-user run without administrator rights).
enum Held { ReadOnly = 1, Locked = 2, Unreplaceable = 4, NoRestart = 8 };
struct Case {
  const char* name;
  std::optional<std::string> existing;
  std::string content = "new content";
  uint8_t method = wf::kMethodZlib;
  std::optional<Bytes> stored;  // method byte and stream, when not content's
  uint32_t flags = 0;
  uint16_t options = 0;
  bool damaged = false, acceptSwitch = false;  // damaged: a wrong checksum
  // The DataArea (5 bytes of another entry, then this one's) up to `cut` (from the end when negative) is in
  // setup.exe, the rest in setup.D01, which is missing unless `d01`, or appears at the first box.
  int cut = INT_MAX;
  bool d01 = true, tempCopy = false, diskAppears = false;
  std::deque<int> answers = {};
  int held = 0;
  bool cancel = false;
  int result = 0;  // then the outcome
  uint16_t status = 0;
  Boxes boxes = {};
  const char* readOnly = nullptr;
  size_t diskRoom = SIZE_MAX;  // bytes a file may grow to, as on a full disk
};

// Run from the temporary copy with setup.D01 missing from the stream's first byte: the disk is asked for.
// Without a result the disk appears at the first box; with one the old file stays.
Case Prompt(const char* name, std::deque<int> answers, Boxes boxes, int result = 0) {
  Case c{.name = name, .cut = 7, .d01 = false, .tempCopy = true, .diskAppears = !result, .answers = answers};
  c.result = result;
  c.status = result ? 0 : Created;
  c.boxes = boxes;
  if (result) c.existing = "old";
  return c;
}

class EntryStep : public InstallerTest {
 protected:
  // Appends content, stored with the method byte (or as `stored`), to the
  // the DataArea and points the plan at it.
  void AddData(FileEntryFields& plan, const std::string& content, uint8_t method = wf::kMethodZlib,
               std::optional<Bytes> stored = {}) {
    Bytes raw(content.begin(), content.end());
    if (!stored)
      stored = Entry(method, method == wf::kMethodBzip2  ? Bzip2(raw)
                             : method == wf::kMethodLzma ? Lzma(raw)
                                                         : Zlib(raw));
    plan.dataOffset = (uint32_t)area.size(), plan.storedLength = (uint32_t)stored->size();
    plan.size = (uint32_t)raw.size(), plan.checksum = wf::UpdateFileChecksum(0, raw.data(), raw.size());
    area.insert(area.end(), stored->begin(), stored->end());
  }
  // Runs the entries into the scratch folder, the DataArea's bytes from `cut`
  // on in setup.D01 (`rest`); returns how many calls returned 1.
  int Install(const std::vector<FileEntryFields>& plans, uint16_t typeOptions = 0, const Bytes& uninstaller = {},
              size_t cut = SIZE_MAX, bool d01 = true) {
    cut = std::min(cut, area.size());
    rest = Words({uint32_t(area.size() - cut)});  // the volume's count, then its bytes
    rest.insert(rest.end(), area.begin() + cut, area.end());
    if (d01 && cut < area.size()) Write("setup.D01", rest);
    Load(FileTable(plans), Bytes(area.begin(), area.begin() + cut), {}, uninstaller);
    wf::StoreU16(const_cast<uint8_t*>(setup.package.currentType->record), typeOptions);
    setup.package.identityFlags = identityFlags;
    std::strcpy(setup.installFolder, Path("").c_str()), setup.run.destinationChecked = true;
    EXPECT_EQ(StartInstallation(setup), 1);
    int handled = 0;
    while (InstallNextEntry(setup)) ++handled;
    return handled;
  }
  uint16_t identityFlags = 0;  // of the next Install
  uint16_t Status() const { return wf::LoadU16(setup.package.firstEntry + wf::file_entry::kStatus); }

  void Check(const Case& c) {
    SCOPED_TRACE(c.name);
    Fresh(), area.assign(5, 0x22);
    if (c.existing) {
      MemoryFile& f = Write("data.txt", *c.existing);
      f.readOnly = c.held & ReadOnly, f.locked = c.held & Locked, f.unreplaceable = c.held & Unreplaceable;
      FakeFiles.restartRefused = c.held & NoRestart;
    }
    setup.options.acceptDamaged = c.acceptSwitch, setup.options.deleteSelf = c.tempCopy, MemoryDiskRoom = c.diskRoom;
    Ui.answers = c.answers, setup.pageResult = c.cancel ? kPageResultCancel : 0;
    if (c.diskAppears) Ui.onMessage = [this] { Write("setup.D01", rest); };
    FileEntryFields plan{.items = {"data.txt"}, .flags = c.flags, .status = c.options};
    AddData(plan, c.content, c.method, c.stored);
    if (c.damaged) plan.checksum ^= 1;
    size_t cut = c.cut >= 0 ? (size_t)c.cut : area.size() + c.cut;

    int handled = Install({plan}, 0, {}, cut, c.d01 && !c.diskAppears);
    bool written = c.status == Created || c.status == Replaced, restart = c.status == AtRestart;
    EXPECT_EQ(std::tuple(handled, setup.resultCode, Status(), ReadAll(Path("data.txt")), Ui.messages),
              std::tuple(c.result || c.cancel ? 0 : 1, c.result, c.status,
                         written ? c.content : c.existing.value_or("<missing>"), c.boxes));
    using Moves = decltype(FakeFiles.restartMoves);
    std::set<std::string> readOnly;
    for (auto& [name, file] : MemoryFiles)
      if (file->readOnly) readOnly.insert(name);
    EXPECT_EQ(
        std::tuple(readOnly, setup.restartNeeded, FakeFiles.restartMoves, MemoryFiles.count(Path("data.$$A")) == 1,
                   setup.userCancelled),
        std::tuple(c.readOnly ? std::set{Path(c.readOnly)} : std::set<std::string>{}, restart,
                   restart ? Moves{{Path("data.$$A"), Path("data.txt")}} : Moves{}, restart, c.result == Cancelled));
    if (c.result == Unwritable || c.result == Refused) EXPECT_EQ(std::string(setup.errorArgument), Path("data.txt"));
    if (c.result == NoVolume) EXPECT_EQ(std::string(setup.errorArgument), Path("setup.D01"));
  }

  Bytes area, rest;
};

TEST_F(EntryStep, Table) {
  std::string text(300000, 0), noise = Noise(70000, 7);
  for (size_t i = 0; i < text.size(); ++i) text[i] = "wrenly text\n"[i % 12];
  Bytes raw(text.begin(), text.end()), corrupt = Zlib(raw), corruptBz = Bzip2(raw), corruptLz = Lzma(raw);
  for (size_t i = 20; i < 40; ++i) corrupt[i] ^= 0x5A, corruptBz[i + 20] ^= 0x5A, corruptLz[i] ^= 0x5A;
  // Calls the x86 filter rewrites, one cut off at the very end.
  std::string code;
  for (int i = 0; code.size() < 100000; ++i) code += "\xE8" + std::string(1, char(i)) + std::string("\x10\0\0\x90", 4);
  code += "\xE8\x01";
  Bytes codeRaw(code.begin(), code.end()), unknownFilter = Lzma(raw);
  unknownFilter[wf::lzma_stream::kFilter] = 7;
  Bytes trailing = Entry(wf::kMethodZlib, Zlib({'a', 'b', 'c'})),
        cut = Entry(wf::kMethodZlib, Zlib(Bytes(noise.begin(), noise.end())));
  trailing.resize(trailing.size() + 100, 0xEE), cut.resize(cut.size() - 10);
  using Box = Boxes::value_type;
  const Box insert{"Insert disk 2.", kMessageOkCancelInformation}, confirm{"Really cancel?", kMessageYesNoQuestion};
  // Whether to keep a damaged file: asked although the package has no text, unless /R; Enter says No.
  const Box ask{"", kMessageYesNoQuestion | kMessageDefaultNo};
  std::string lastByte = text.substr(0, text.size() - 1) + 'o';
  // A large file's stream: pieces primed with the 32 KiB before them, joined by sync flushes.
  Bytes pieced{wf::kMethodZlib};
  for (size_t at = 0, from; at < raw.size(); at += 100000) {
    from = at < 32768 ? 0 : at - 32768;
    Bytes piece =
        wrenly::builder::CompressZlibPiece({&raw[from], at - from}, {&raw[at], 100000}, at + 100000 == raw.size(), 6);
    pieced.insert(pieced.end(), piece.begin(), piece.end());
  }
  wrenly::builder::AppendAdlerTrailer(pieced, (uint32_t)adler32(1, raw.data(), (uInt)raw.size()));
  constexpr int Yes = kAnswerYes, No = kAnswerNo, Ok = kAnswerOk, Cancel = kAnswerCancel;
  const Case cases[] = {
      {.name = "zlib over many reads and writes", .content = text, .status = Created},
      {.name = "bzip2 over many reads and writes", .content = text, .method = wf::kMethodBzip2, .status = Created},
      {.name = "zlib in pieces", .content = text, .stored = pieced, .status = Created},
      {.name = "lzma over many reads and writes", .content = text, .method = wf::kMethodLzma, .status = Created},
      {.name = "lzma with the x86 filter",
       .content = code,
       .stored = Entry(wf::kMethodLzma, Lzma(codeRaw, wf::kLzmaFilterX86)),
       .status = Created},
      {.name = "method byte only, of no method", .content = "", .stored = Bytes{9}, .status = Created},
      {.name = "bytes after the stream are left alone", .content = "abc", .stored = trailing, .status = Created},
      {.name = "unknown method replaces nothing", .existing = "old", .method = 3, .result = Incomplete},
      {.name = "corrupted zlib stream", .stored = Entry(wf::kMethodZlib, corrupt), .result = Incomplete},
      {.name = "corrupted bzip2 stream", .stored = Entry(wf::kMethodBzip2, corruptBz), .result = Incomplete},
      {.name = "corrupted lzma stream",
       .existing = "old",
       .stored = Entry(wf::kMethodLzma, corruptLz),
       .result = Incomplete},
      {.name = "lzma filter unknown", .stored = Entry(wf::kMethodLzma, unknownFilter), .result = Incomplete},
      {.name = "stream cut short", .stored = cut, .result = Incomplete},
      {.name = "starts inside setup.D01", .content = text, .cut = 2, .status = Created},
      {.name = "method byte alone in setup.exe", .content = text, .cut = 6, .status = Created},
      {.name = "one stream byte in setup.exe", .content = text, .cut = 7, .status = Created},
      {.name = "last byte in setup.D01", .content = text, .cut = -1, .status = Created},
      // The reader's own code stands, not the damaged entry's.
      {.name = "missing", .existing = "old", .cut = 7, .d01 = false, .result = NoVolume},
      Prompt("prompt: cancel, then confirm", {Cancel, Yes}, {insert, confirm}, Cancelled),
      Prompt("prompt: cancel, decline, the retry finds the disk", {Cancel, No}, {insert, confirm}),
      Prompt("prompt: OK without the disk asks again", {Ok, Cancel, Yes}, {insert, insert, confirm}, Cancelled),
      {.name = "replaced", .existing = "old", .status = Replaced},
      {.name = "only if missing keeps", .existing = "old", .flags = wf::kFlagOnlyIfMissing, .status = Kept},
      {.name = "read-only option", .options = wf::kOptReadOnly, .status = Created, .readOnly = "data.txt"},
      {.name = "read-only stays", .existing = "old", .held = ReadOnly, .status = Replaced, .readOnly = "data.txt"},
      {.name = "damaged, /R", .damaged = true, .acceptSwitch = true, .answers = {No}, .status = Created},
      {.name = "damaged, Yes", .damaged = true, .answers = {Yes}, .status = Created, .boxes = {ask}},
      {.name = "damaged, No", .existing = "old", .damaged = true, .answers = {No}, .result = Refused, .boxes = {ask}},
      {.name = "damaged, No, a new file: none is left",
       .damaged = true,
       .answers = {No},
       .result = Refused,
       .boxes = {ask}},
      {.name = "locked, identical", .existing = "new content", .held = Locked, .status = Replaced},
      {.name = "locked, other first byte", .existing = "New content", .held = Locked, .status = AtRestart},
      {.name = "locked, last byte differs", .existing = lastByte, .content = text, .held = Locked, .status = AtRestart},
      {.name = "locked, read-only",
       .existing = "old",
       .held = Locked | ReadOnly,
       .status = AtRestart,
       .readOnly = "data.txt"},
      {.name = "locked, read-only option",
       .existing = "old",
       .options = wf::kOptReadOnly,
       .held = Locked,
       .status = AtRestart,
       .readOnly = "data.$$A"},
      {.name = "replace fails", .existing = "old", .held = Unreplaceable, .result = Unwritable},
      {.name = "locked, no right to replace it at the restart",
       .existing = "old",
       .held = Locked | NoRestart,
       .result = Unwritable},
      {.name = "a full disk: cannot write", .existing = "old", .content = text, .result = Unwritable, .diskRoom = 4096},
      {.name = "a full disk, a new file: none is left", .content = text, .result = Unwritable, .diskRoom = 4096},
      {.name = "cancel leaves no temporary file", .existing = "old", .cancel = true},
  };
  for (const Case& c : cases) Check(c);
}

TEST_F(EntryStep, UninstallerIsTheImageFollowedByItsData) {
  // An existing uninstaller ending in an end header with the complete flag.
  const std::string complete = std::string("MZold") + std::string("\x7F\x7F\x02\x00\x00\x00\x00\x00", 8);
  // A kept uninstaller shows no progress.
  // A signed one stays as signed: its data goes beside it, and the record
  // there decides whether it stays.
  const uint16_t beside = wf::kIdentityRecordBeside;
  struct {
    const char* what;
    std::string existing;
    uint16_t typeOptions;
    std::string after;
    std::vector<int> percents;
    uint16_t identity = 0;
    std::string data = "<missing>";  // uninst.dat after
  } cases[] = {
      {"written", "", 0, "MZ-record-", {50, 100}},
      {"a complete one stays when the type appends", complete, wf::kOptUninstallerAppend, complete, {100}},
      {"signed: its data beside it", "", 0, "MZ", {50, 100}, beside, "-record-"},
      {"signed: a complete record beside it stays",
       complete,
       wf::kOptUninstallerAppend,
       "<missing>",
       {100},
       beside,
       complete},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh(), area.clear(), identityFlags = c.identity;
    if (!c.existing.empty()) Write(c.identity ? "uninst.dat" : "uninst.exe", c.existing);
    FileEntryFields uninstaller{.items = {"uninst.exe"}, .status = wf::kOptUninstaller}, file;
    AddData(uninstaller, "-record-"), AddData(file, "text");
    Install({uninstaller, file}, c.typeOptions, Bytes{'M', 'Z'});
    EXPECT_EQ(std::tuple(setup.resultCode, Status(), ReadAll(Path("uninst.exe")), std::string(setup.uninstallerPath),
                         ReadAll(Path("file.txt")), Ui.percents),
              std::tuple(0, 0, c.after, Path("uninst.exe"), "text", c.percents));
    EXPECT_EQ(ReadAll(Path("uninst.dat")), c.data);
  }
  // Signed, its data damaged: the step fails and leaves neither file.
  Fresh(), area.clear(), identityFlags = beside;
  FileEntryFields broken{.items = {"uninst.exe"}, .status = wf::kOptUninstaller};
  AddData(broken, "-record-", wf::kMethodZlib, Entry(wf::kMethodZlib, Bytes{0x78, 0x9c, 0xFF, 0xFF}));
  Install({broken}, 0, Bytes{'M', 'Z'});
  EXPECT_EQ(std::tuple(setup.resultCode, ReadAll(Path("uninst.exe")), ReadAll(Path("uninst.dat"))),
            std::tuple(Incomplete, "<missing>", "<missing>"));
}

struct NameRecord {
  uint16_t platform, nameId;
  std::string text;
  uint16_t offsetShift = 0;  // moves the record's string offset past its text
};

// A TrueType file of `tables` table records; record `nameAt` (0-based, -1
// for none) is the name table, which follows the records. Fields go in as
// big-endian 16-bit halves.
std::string Font(uint16_t tables, int nameAt, const std::vector<NameRecord>& names) {
  std::string f, storage;
  auto put = [&f](std::initializer_list<uint32_t> halves) {
    for (uint32_t v : halves) f += {(char)(v >> 8), (char)v};
  };
  put({1, 0, tables, 0, 0, 0});
  for (int i = 0; i < tables; ++i)
    f += i == nameAt ? "name" : "glyf", put({0, 0, 0, i == nameAt ? 12 + 16u * tables : 0, 0, 0});
  uint32_t count = (uint32_t)names.size();
  put({0, count, 6 + 12 * count});
  for (const NameRecord& n : names) {
    put({n.platform, 0, 0, n.nameId, (uint32_t)n.text.size(), (uint32_t)(storage.size() + n.offsetShift)});
    storage += n.text;
  }
  return f + storage;
}

// A shared font over an older one: the old name's value goes, the new one's
// full name (of the Macintosh record) holds the file's name, the count grows
// and the entry is remembered; a value naming another font file stays.
TEST_F(EntryStep, FontValueNamedByTheFullNameHoldsTheFileName) {
  const std::string nt = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts|",
                    nine = "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts|";
  struct {
    bool nt;
    std::string font, value;
    bool taken = false;
  } cases[] = {
      // value "": none
      {true, Font(3, 1, {{3, 4, "Windows Sans"}, {1, 4, "Demo Sans"}}), nt + "Demo Sans (TrueType)"},
      {true, Font(1, 0, {{1, 4, "Old Sans"}}), nt + "Old Sans (TrueType)", true},
      {false, Font(1, 0, {{1, 4, "Demo Sans"}}), nine + "Demo Sans (TrueType)"},
      {true, Font(2, 0, {{3, 1, "Demo"}, {3, 4, "Demo Sans"}}), ""},
      {true, Font(40, 39, {{1, 4, "Forty"}}), nt + "Forty (TrueType)"},
      {true, Font(41, 40, {{1, 4, "Forty-one"}}), ""},
      {true, Font(1, 0, {{1, 4, std::string(700, 'L')}}), nt + std::string(508, 'L') + " (TrueType)"},
      {true, Font(1, 0, {{1, 4, "Gone", 100}}), ""},
      {true, "plain text, nothing more", ""},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.value);
    Fresh(), area.clear(), FakeFiles.ntFamily = c.nt;
    const std::string path = Path("Fonts\\demo.ttf"), old = c.taken ? "C:\\Other\\DEMO.TTF.old" : "demo.ttf",
                      count = std::string(kSharedKey) + "|" + path;
    Fake.specialFolders[0x14] = Path("Fonts\\"), Write("Fonts\\demo.ttf", Font(1, 0, {{1, 4, "Old Sans"}}));
    // The old font's value as written; the registry answers the query only when another file holds the name.
    FakeFiles.strings[(c.nt ? nt : nine) + "Old Sans (TrueType)"] = old, FakeFiles.dwords[count] = 41;
    if (c.taken) Fake.registry["2|" + nt + "Old Sans (TrueType)"] = old;
    FileEntryFields font{
        .items = {"demo.ttf"}, .kind = wf::kDestFonts, .flags = wf::kFlagShared | wf::kFlagScreenSaver};
    AddData(font, c.font);
    EXPECT_EQ(Install({font}), 1);
    const std::vector<std::string> once{path};
    std::map<std::string, std::string> values;
    if (!c.value.empty()) values[c.value] = old;
    EXPECT_EQ(
        std::tuple(Status(), ReadAll(path), FakeFiles.dwords[count], FakeFiles.strings, setup.run.screenSaverEntry),
        std::tuple(Replaced, c.font, 42u, values, setup.package.firstEntry));
    EXPECT_EQ(std::tuple(FakeFiles.fontsRemoved, FakeFiles.fontsAdded, FakeFiles.fontBroadcasts),
              std::tuple(once, once, 2));
  }
}

// /L: each entry's outcome, and each question with the answer a quiet run
// takes in place of a person, line by line in order.
TEST_F(EntryStep, TheLogNamesEachOutcomeAndQuestion) {
  std::strcpy(setup.options.logPath, Path("log.txt").c_str());
  setup.options.quiet = kQuiet;
  OpenRunLog(setup, false);
  Write("kept.txt", std::string("mine"));
  FileEntryFields written{.items = {"new.txt"}}, kept{.items = {"kept.txt"}, .flags = wf::kFlagOnlyIfMissing},
      damaged{.items = {"bad.txt"}};
  AddData(written, "fresh"), AddData(kept, "theirs"), AddData(damaged, "broken");
  damaged.checksum ^= 1, messages.resize(msg::kCheckFailed + 1), messages[msg::kCheckFailed] = "Damaged: %s";
  Install({written, kept, damaged});
  CloseRunLog(setup);
  EXPECT_EQ(std::tuple(Ui.messages.size(), setup.resultCode), std::tuple(0u, kResultFileDamaged));
  std::string log;
  for (const char* line : {"install type: 1", "folder: C:\\Scratch\\", "file written: C:\\Scratch\\new.txt",
                           "file kept: C:\\Scratch\\kept.txt (installed only where missing)",
                           "asked nobody: Damaged: C:\\Scratch\\bad.txt (answered No)",
                           "file not installed: C:\\Scratch\\bad.txt (failed)"})
    log += std::string("2024-03-05 12:00:00.000 ") + line + "\r\n";
  EXPECT_EQ(ReadAll(Path("log.txt")), log);
}

}  // namespace
