// A loaded package, a fresh run and the fakes of disk and screen, for the
// tests of the DataArea reader and the installation driver.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "engine_driver_fake_ui.h"
#include "fake_disk.h"
#include "format/block_ids.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/writer.h"
#include "install/install_run.h"
#include "ui/show_message.h"
#include "installer_fixture.h"
#include "package_writer.h"

namespace wf = wrenly::format;

struct TableEntry {
  uint32_t size = 0;
  uint32_t flags = 0;
  uint32_t kind = 0;
  uint32_t dataOffset = 0;
  uint32_t storedLength = 0;
  std::string name = "file.txt";
};

inline Bytes EntryTable(const std::vector<TableEntry>& entries) {
  std::vector<FileEntrySpec> specs;
  for (const TableEntry& e : entries) specs.push_back({{e.name}, e.kind, e.flags, 0, e.size, 0, e.dataOffset, e.storedLength});
  return FileTable(specs);
}

// List 7 as the engine's tests need it; other items empty.
inline std::vector<std::string> EngineMessages() {
  std::vector<std::string> list(32);
  list[0] = "Demo Setup";
  list[6] = "Create the folder?";
  list[13] = "Really cancel?";
  list[16] = "Cannot read %s.";
  list[18] = "Volume %s is missing.";
  list[28] = "Insert disk %d.";
  list[31] = "The package is incomplete.";
  return list;
}

class EngineTest : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    ResetFakeDisk();
    ResetFakeUi();
    ::Run = InstallRun{};
    PageResult = 0;
    PageIndex = 0;
  }
  void TearDown() override {
    CloseDataArea();
    InstallerTest::TearDown();
  }
  // Loads a one-type package with the given table and DataArea part.
  void Load(const std::vector<TableEntry>& entries, const Bytes& data = {}, InstallTypeSpec plan = {},
            const char* name = "setup.exe") {
    if (!plan.lists[7]) plan.lists[7] = EngineMessages();
    PackageImage p;
    p.Add(wf::kBlockSetupSettings, SettingsBlock()).AddType(plan).Add(wf::kBlockFileTable, EntryTable(entries));
    p.dataArea = data;
    SetOwnPath(WriteTempFile(name, p.Build()));
    ASSERT_EQ(LoadPackage(), 1);
  }
  static std::string ReadAll(const std::string& path) {
    std::string s;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "<missing>";
    int c;
    while ((c = std::fgetc(f)) != EOF) s.push_back(static_cast<char>(c));
    std::fclose(f);
    return s;
  }
};
