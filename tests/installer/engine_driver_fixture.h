// The engine's tests: a fresh run, every fake reset, a scratch folder of
// real files and, when a test asks, a loaded package.
#pragma once
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "engine_fakes.h"
#include "format/block_ids.h"
#include "format/file_entry.h"
#include "format/writer.h"
#include "install/install_run.h"
#include "ui/show_message.h"
#include "installer_fixture.h"
#include "package_writer.h"

namespace wf = wrenly::format;

struct TableEntry {
  uint32_t size = 0, flags = 0, kind = 0, dataOffset = 0, storedLength = 0;
  std::string name = "file.txt";
};

inline Bytes EntryTable(const std::vector<TableEntry>& entries) {
  std::vector<FileEntryFields> records;
  for (const TableEntry& e : entries) records.push_back({{e.name}, e.kind, e.flags, 0, e.size, 0, e.dataOffset, e.storedLength});
  return FileTable(records);
}

class EngineTest : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    ResetEngineFakes();
    ::Run = InstallRun{};
    PageResult = 0;
    PageIndex = 0;
    char pattern[] = "/tmp/wrenly-engine-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    scratch = pattern;
  }
  void TearDown() override {
    CloseDataArea();
    std::filesystem::remove_all(scratch);
    InstallerTest::TearDown();
  }
  // Each row of a table starts as a test does.
  void Fresh() { TearDown(), SetUp(); }
  // Loads a one-type package with the given file table and DataArea part
  // from the scratch folder, first dropping what an earlier row loaded;
  // list 7 is `messages`.
  void Load(const Bytes& table, const Bytes& data = {}, InstallTypeFields plan = {}, const Bytes& uninstaller = {}) {
    CloseDataArea();
    FreePackage();
    if (!plan.lists[7]) plan.lists[7] = messages;
    PackageImage p;
    p.Add(wf::kBlockSetupSettings, SettingsBlock()).AddType(plan).Add(wf::kBlockFileTable, table);
    if (!uninstaller.empty()) p.Add(wf::kBlockUninstallerImage, uninstaller);
    p.dataArea = data;
    Write("setup.exe", p.Build());
    SetOwnPath(Path("setup.exe"));
    ASSERT_EQ(LoadPackage(), 1);
  }
  // The record at offset 4 of `table`, which must outlive the view.
  static wf::FileEntryView View(std::vector<uint8_t>& table) {
    wf::FileEntryView v{};
    EXPECT_TRUE(wf::ParseFileEntry({table.data(), (uint32_t)table.size()}, 4, &v));
    return v;
  }
  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
  }
  std::string Path(const std::string& name) const { return scratch + "/" + name; }
  void Write(const std::string& name, std::string_view c) const { std::ofstream(Path(name), std::ios::binary) << c; }
  void Write(const std::string& name, const Bytes& b) const { Write(name, {(const char*)b.data(), b.size()}); }

  // List 7 as the engine's tests need it; other items empty.
  std::vector<std::string> messages = [] {
    std::vector<std::string> list(32);
    return list[13] = "Really cancel?", list[28] = "Insert disk %d.", list;
  }();
  std::string scratch;
};
