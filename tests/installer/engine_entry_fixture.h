// Shared set-up of the entry-step tests: a fresh process state, the fake
// system and file system, FileEntry records crafted field by field, and a
// scratch folder of real files.
#pragma once
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine_driver_fake_ui.h"
#include "fake_disk.h"
#include "fake_file_system.h"
#include "format/file_entry.h"
#include "installer_fixture.h"
#include "package_writer.h"

struct EntryPlan {
  uint32_t flags = 0;
  uint32_t kind = 0;
  uint32_t size = 0;
  uint32_t checksum = 0;
  uint32_t versionMS = 0, versionLS = 0, language = 0;
  std::vector<std::string> items = {"file.txt"};
  uint16_t options = 0;
  uint32_t dataOffset = 0, storedLength = 0;
};

inline FileEntrySpec EntrySpec(const EntryPlan& p) {
  return {p.items, p.kind, p.flags, p.options, p.size, p.checksum, p.dataOffset, p.storedLength,
          p.versionMS, p.versionLS, p.language};
}
inline std::vector<uint8_t> EntryRecord(const EntryPlan& p) { return FileEntryRecord(EntrySpec(p)); }

inline std::vector<uint8_t> PlanTable(const std::vector<EntryPlan>& plans) {
  std::vector<FileEntrySpec> specs;
  for (const EntryPlan& p : plans) specs.push_back(EntrySpec(p));
  return FileTable(specs);
}
// A file table with the one record; the record starts at offset 4.
inline std::vector<uint8_t> PlanTable(const EntryPlan& p) { return PlanTable(std::vector<EntryPlan>{p}); }

class EntryTest : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    ResetFakeFileSystem();
    ResetFakeDisk();
    ResetFakeUi();
    char pattern[] = "/tmp/wrenly-entry-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    scratch = pattern;
  }
  void TearDown() override {
    std::filesystem::remove_all(scratch);
    InstallerTest::TearDown();
  }
  // Parses the plan's record out of `table`, which must outlive the view.
  wrenly::format::FileEntryView View(std::vector<uint8_t>& table) {
    wrenly::format::FileEntryView v{};
    EXPECT_TRUE(wrenly::format::ParseFileEntry({table.data(), (uint32_t)table.size()}, 4, &v));
    return v;
  }
  std::string Path(const std::string& name) const { return scratch + "/" + name; }
  void Write(const std::string& path, const std::string& content) const {
    std::ofstream(path, std::ios::binary) << content;
  }
  std::string Read(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void SetWorkPath(const std::string& path) { std::strncpy(WorkPath, path.c_str(), kWorkPathSize - 1); }
  void SetInstallFolder(const std::string& path) { std::strncpy(InstallFolder, path.c_str(), kPathSize - 1); }

  std::string scratch;
};
