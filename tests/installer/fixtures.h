// Every test starts from a fresh run's state, every fake reset, and no file
// but those it writes, held in memory.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/display.h"
#include "base/package_model.h"
#include "base/setup.h"
#include "fakes.h"
#include "format/block_ids.h"
#include "format/bytes.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "install/install_run.h"
#include "memory_files.h"
#include "package/data_area.h"
#include "package/entry_destination.h"
#include "package/package.h"
#include "package_writer.h"

namespace wf = wrenly::format;
namespace msg = wf::msg;

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSetup(setup), ResetFakes();
    ASSERT_TRUE(AllocatePathBuffers(setup));
  }
  void TearDown() override { CloseDataArea(setup), FreePackage(setup.package), FreePathBuffers(setup); }
  // Each row of a table starts as a test does.
  void Fresh() { TearDown(), SetUp(); }
  void SetOwnPath(const std::string& path) { std::strncpy(setup.ownPath, path.c_str(), kPathSize - 1); }
  // Loads a one-type package with the given file table and DataArea part
  // from the scratch folder; list 7 is `messages`.
  void Load(const Bytes& table, const Bytes& data = {}, InstallTypeFields plan = {}, const Bytes& uninstaller = {},
            const Bytes& sections = {}, const Bytes& details = {}) {
    CloseDataArea(setup);
    if (!plan.lists[msg::kListMessages]) plan.lists[msg::kListMessages] = messages;
    PackageImage p;
    p.Add(wf::kBlockSetupSettings, SettingsBlock()).AddType(plan).Add(wf::kBlockFileTable, table);
    if (!uninstaller.empty()) p.Add(wf::kBlockUninstallerImage, uninstaller);
    if (!sections.empty()) p.Add(wf::kBlockUninstallSections, sections);
    if (!details.empty()) p.Add(wf::kBlockProductDetails, details);
    p.dataArea = data;
    ASSERT_EQ(LoadFile(p.Build()), 1);
  }
  // Drops the package an earlier row loaded.
  int LoadFile(const Bytes& file) {
    FreePackage(setup.package), Write("setup.exe", file), SetOwnPath(Path("setup.exe"));
    return LoadPackage(setup);
  }
  // The first record of a table of `entry` alone, valid until the next call.
  wf::FileEntryView View(const FileEntryFields& entry) {
    viewTable = FileTable({entry});
    wf::FileEntryView v{};
    EXPECT_TRUE(wf::ParseFileEntry({viewTable.data(), (uint32_t)viewTable.size()}, wf::file_table::kEntries, &v));
    return v;
  }
  // The completion step in `folder` with `uninstaller` as uninstall.exe, the entries' outcomes set first.
  void Finish(const char* folder, const Bytes& uninstaller, std::initializer_list<uint16_t> outcomes) {
    const uint8_t* at = setup.package.firstEntry;
    wf::FileEntryView e;
    for (uint16_t o : outcomes)
      FindFileEntry(setup, at, &e), wf::StoreU16((uint8_t*)e.record + wf::file_entry::kStatus, o), at += e.recordSize;
    Write("uninstall.exe", uninstaller);
    std::strcpy(setup.installFolder, folder), std::strcpy(setup.uninstallerPath, Path("uninstall.exe").c_str());
    EndInstallation(setup);
  }
  // The scratch folder, its files held in memory.
  static std::string Path(const std::string& name) { return "C:\\Scratch\\" + name; }
  template <class C>  // std::string or Bytes
  static MemoryFile& Write(const std::string& name, const C& c) {
    return *(MemoryFiles[Path(name)] = std::make_shared<MemoryFile>(MemoryFile{{c.begin(), c.end()}}));
  }
  // "<missing>" when there is no such file; in the tests it hides the real files' ReadAll.
  static std::string ReadAll(const std::string& path) {
    auto it = MemoryFiles.find(path);
    return it == MemoryFiles.end() ? "<missing>" : std::string(it->second->bytes.begin(), it->second->bytes.end());
  }

  // List 7 as the engine's tests need it; other items empty.
  std::vector<std::string> messages = [] {
    std::vector<std::string> list(32);
    return list[msg::kStopPartialInstall] = "Really cancel?", list[msg::kInsertDisk] = "Insert disk %d.", list;
  }();
  ::Setup setup;
  Bytes viewTable;
};
