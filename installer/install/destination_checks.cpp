// The destination folder's checks: that it exists (made on request) and
// that the files fit.
#include <string.h>

#include "base/display.h"
#include "base/package_model.h"
#include "base/setup.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "install/disk_space.h"
#include "install/install_run.h"
#include "package/entry_destination.h"
#include "platform/disk.h"
#include "platform/system.h"
#include "text/messages.h"
#include "text/path_services.h"

namespace wf = wrenly::format;

namespace {

// Walks the current type's file table; tables were checked when loaded, so
// a record that fails to parse ends the walk.
struct TableWalk {
  wf::ByteView table;
  uint32_t at;
  uint32_t left;
  uint8_t* writable;
  explicit TableWalk(const Package& package) {
    const InstallTypeSlot* type = package.currentType;
    writable = type ? type->fileTable : nullptr;
    table = wf::ByteView{writable, type && writable ? type->fileTableSize : 0};
    at = wf::file_table::kEntries;
    left = package.entryCount;
  }
  bool Next(wf::FileEntryView* e, uint8_t** record) {
    if (left == 0 || !wf::ParseFileEntry(table, at, e)) return false;
    *record = writable + at;
    at += e->recordSize;
    --left;
    return true;
  }
};

uint16_t TypeOptions(Setup& setup) {
  const InstallTypeSlot* type = setup.package.currentType;
  if (!type || type->recordSize < 2) return 0;
  return wf::LoadU16(type->record + wf::install_type::kOptions);
}

}  // namespace

int CheckDestinationFolder(Setup& setup) {
  StripBackslash(setup.installFolder);
  if (!*setup.installFolder) return kResultFolderInvalid;
  if (GetFullPath(setup.installFolder, setup.workPath, kPathSize) > 0 && *setup.workPath)
    memcpy(setup.installFolder, setup.workPath, kPathSize);
  // The folder carries a backslash more while files are installed.
  if (strlen(setup.installFolder) >= kPathSize - 1) return kResultFolderInvalid;
  if (EnterFolder(setup.installFolder) != 0) {
    const char* question = GetMessageText(setup, wf::msg::kListMessages, wf::msg::kCreateFolder);
    if (*question && AskUser(setup, question, kMessageYesNoQuestion, kAnswerYes) != kAnswerYes) return kFolderDeclined;
    AppendBackslash(setup.installFolder);
    if (setup.singlePageMode) return 0;
    CreateFolderChain(setup.installFolder);
    StripBackslash(setup.installFolder);
    if (EnterFolder(setup.installFolder) != 0) return kResultFolderInvalid;
  }
  AppendBackslash(setup.installFolder);
  return 0;
}

int CheckDiskSpace(Setup& setup) {
  uint32_t clusterKb;
  uint32_t freeKb = GetFreeDiskSpace(setup.installFolder, &clusterKb);
  uint64_t cluster = (uint64_t)clusterKb * 1024;
  bool countInFull = TypeOptions(setup) & wf::kOptCountFilesInFull;
  uint64_t total = 0, largest = 0;
  setup.run.readOnlyTarget = false;
  TableWalk walk(setup.package);
  wf::FileEntryView e;
  uint8_t* record;
  while (walk.Next(&e, &record)) {
    if (e.flags & (wf::kFlagSourceFolder | wf::kFlagFolder)) continue;
    uint64_t need = RoundUpToClusters(e.size, cluster);
    if (need > largest) largest = need;
    bool font = e.kind == wf::kDestFonts;
    if (countInFull && !font && !(e.flags & wf::kFlagKeepExistingInSpace)) {
      total += need;
      continue;
    }
    ResolveDestination(setup, record);
    if (!*setup.workPath) continue;
    uint32_t existing = 0, attributes = 0;
    bool exists = FindExistingFile(setup.workPath, &existing, &attributes);
    total += EntrySpaceNeed(e.size, exists, existing, cluster);
    if (!exists) continue;
    if (font) {
      // An existing font stays the system's: it is not recorded for removal.
      wf::StoreU32(record + wf::file_entry::kFlags, e.flags | wf::kFlagNotLogged);
    } else if (attributes & kAttributeReadOnly) {
      setup.run.readOnlyTarget = true;
    }
  }
  return SpaceIsShort(total, largest, cluster, freeKb) ? 1 : 0;
}

DiskSpaceFigures MeasureDiskSpace(Setup& setup) {
  uint32_t clusterKb;
  uint32_t freeKb = GetFreeDiskSpace(setup.installFolder, &clusterKb);
  uint64_t cluster = (uint64_t)clusterKb * 1024, required = 0;
  TableWalk walk(setup.package);
  wf::FileEntryView e;
  uint8_t* record;
  while (walk.Next(&e, &record)) required += RoundUpToClusters(e.size, cluster);
  return DiskSpaceFiguresFrom(freeKb, required);
}
