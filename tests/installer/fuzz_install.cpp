// Arbitrary bytes as a package, loaded resumed and not: every message of
// every type is read whole. Then installed: each install type in turn runs
// through StartInstallation and InstallNextEntry, every question answered No,
// into a scratch folder of files held in memory. It aborts on a path the
// engine names that cannot lie in the scratch folder, and on a half-written
// file: an entry said written whose file differs from it, or a temporary file
// that no restart waits for.
// The input is the setup file, then each volume behind kVolumeMark.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "base/display.h"
#include "base/package_model.h"
#include "base/setup.h"
#include "fakes.h"
#include "format/file_entry.h"
#include "install/install_run.h"
#include "memory_files.h"
#include "package/data_area.h"
#include "package/entry_destination.h"
#include "package/package.h"
#include "system/uninstall_record.h"
#include "text/messages.h"

namespace wf = wrenly::format;

namespace {
// One run at a time; each execution starts it afresh.
Setup setup;
constexpr std::string_view kVolumeMark = "\n<next volume>\n";  // as tests/support/seed_generator.cpp writes it
const char kSetup[] = "C:\\Setup\\setup.exe";
const char kInstallFolder[] = "C:\\Program Files\\Fuzz";

[[noreturn]] void Fail(const char* what, const std::string& path) {
  std::fprintf(stderr, "fuzz_install: %s: %s\n", what, path.c_str());
  std::abort();
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The scratch folder stands for the machine under test: every drive and share,
// with the special, Windows, system and temporary folders the fakes report,
// names compared as Windows compares them. A path that is not full would
// follow the current folder, and ".." climbs out of the folder the engine
// chose: both lead outside.
std::string InScratch(const char* path) {
  std::string p = path;
  bool drive = p.size() > 2 && std::isalpha((unsigned char)p[0]) && p[1] == ':' && IsSeparator(p[2]);
  bool share = p.size() > 2 && IsSeparator(p[0]) && IsSeparator(p[1]) && !IsSeparator(p[2]);
  if (!drive && !share) Fail("a path outside the scratch folder", p);
  for (char& c : p) c = c == '/' ? '\\' : (char)std::tolower((unsigned char)c);
  for (size_t at = p.find(".."); at != std::string::npos; at = p.find("..", at + 1))
    if (p[at - 1] == '\\' && (at + 2 == p.size() || p[at + 2] == '\\')) Fail("a path climbing out of its folder", path);
  return p;
}

// Whether a restart will move or delete the file: on NT in the registry, on
// 9x in WININIT.INI.
bool WaitsForRestart(const std::string& name) {
  for (auto& move : FakeFiles.restartMoves)
    if (InScratch(move.first.c_str()) == name) return true;
  for (auto& entry : MemoryProfile)
    if (InScratch(entry[3].c_str()) == name) return true;
  return false;
}

// Marks the file at path as put where it belongs.
void Placed(const char* path) {
  if (auto file = MemoryFiles.find(InScratch(path)); file != MemoryFiles.end()) file->second->fresh = false;
}

// Right after each step, before anything else can touch its files: an entry
// said written holds its content, and a file the step made remains only at
// the destination of an entry it completed (written in place, or an
// uninstaller's record beside it) or when a restart waits for it.
void CheckStep(const wf::FileEntryView* e, bool completed) {
  uint16_t status = e ? wf::LoadU16(e->record + wf::file_entry::kStatus) : 0;
  if (status == wf::kOutcomeReplaced || status == wf::kOutcomeCreated) {
    auto file = MemoryFiles.find(InScratch(setup.workPath));
    if (file == MemoryFiles.end() || file->second->bytes.size() != e->size ||
        wf::UpdateFileChecksum(0, file->second->bytes.data(), e->size) != e->checksum)
      Fail("an entry said written differs from its file", setup.workPath);
  }
  char beside[kPathSize];
  if (completed && setup.workPath[0]) {
    Placed(setup.workPath);
    if (UninstallRecordPath(setup, setup.workPath, beside)) Placed(beside);
  }
  for (auto& [name, file] : MemoryFiles)
    if (file->fresh && !WaitsForRestart(name)) Fail("a temporary file left behind", name);
}

// What the run left by name lies inside too: restart moves and folders made.
void CheckRecorded() {
  for (auto& [from, to] : FakeFiles.restartMoves)
    for (auto& path : {from, to})
      if (!path.empty()) InScratch(path.c_str());
  for (auto& entry : MemoryProfile)
    for (auto& path : {entry[0], entry[2], entry[3]})
      if (path != "xyz") InScratch(path.c_str());
  for (auto& folder : Fake.created) InScratch(folder.c_str());
}

void ReadEveryMessage() {
  for (int t = -1; t <= setup.package.typeCount; ++t) {
    SelectInstallType(setup, t);
    for (int list = -1; list <= 10; ++list)
      for (uint16_t item = 0; item < 40; ++item) (void)std::strlen(GetMessageText(setup, list, item));
  }
}

void Install(int type, const DataAreaState& loaded) {
  SelectInstallType(setup, type);
  std::strcpy(setup.installFolder, kInstallFolder);
  setup.dataArea = loaded;
  setup.run = InstallRun{}, setup.pageResult = 0, setup.resultCode = 0,
  setup.restartNeeded = setup.userCancelled = false;
  FakeFiles.ntFamily = type % 2 == 0;     // the 9x family lists its restart moves in WININIT.INI
  for (auto& [name, file] : MemoryFiles)  // a library an earlier type installed is in use
    if (name.ends_with(".dll")) file->locked = true;
  std::vector<wf::FileEntryView> entries;
  wf::FileEntryView e;
  for (const uint8_t* at = setup.package.firstEntry;
       entries.size() < setup.package.entryCount && FindFileEntry(setup, at, &e); at = e.record + e.recordSize)
    entries.push_back(e);
  for (bool more = StartInstallation(setup); more;) {
    more = InstallNextEntry(setup);
    CheckStep((size_t)setup.run.index < entries.size() ? &entries[setup.run.index] : nullptr, more);
  }
  EndInstallation(setup);
  CheckRecorded();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryPath = InScratch, MemoryDiskRoom = 256 << 10;  // a small stream may unpack to gigabytes
  std::string_view input((const char*)data, size);
  for (int part = 0; part <= 99; ++part) {
    char name[kPathSize];
    part ? (void)MakeVolumePath(kSetup, part, name) : (void)std::strcpy(name, kSetup);
    size_t cut = std::min(input.find(kVolumeMark), input.size());
    MemoryFiles[InScratch(name)] = std::make_shared<MemoryFile>(MemoryFile{{input.begin(), input.begin() + cut}});
    if (cut == input.size()) break;
    input.remove_prefix(cut + kVolumeMark.size());
  }
  Ui.defaultAnswer = kAnswerNo;
  Disk.freeBytes = 1ull << 50;
  Fake.AddFolder(kInstallFolder);
  for (int n : {5, 0x10, 0x14, 0x19, 0x1A}) Fake.specialFolders[n] = "C:\\Users\\Fuzz\\Folder " + std::to_string(n);
  const std::string versionKey = "2|Software\\Microsoft\\Windows\\CurrentVersion|";
  Fake.registry[versionKey + "ProgramFilesDir"] = "C:\\Program Files";
  Fake.registry[versionKey + "CommonFilesDir"] = "C:\\Program Files\\Common Files";
  for (int resumed : {1, 0}) {
    InitSetup(setup), AllocatePathBuffers(setup);
    setup.options.resumeType = resumed;
    std::strcpy(setup.ownPath, kSetup);
    if (LoadPackage(setup)) {
      ReadEveryMessage();
      DataAreaState loaded = setup.dataArea;
      for (int type = 0; !resumed && type < setup.package.typeCount; ++type) Install(type, loaded);
    }
    // Freed within the execution, or libFuzzer suspects a leak and runs it again.
    FreePackage(setup.package), FreePathBuffers(setup);
  }
  ResetFakes();
  return 0;
}
