// The destination folder's checks: that it exists (made on request) and
// that the files fit.
#include <string.h>

#include "format/file_entry.h"
#include "format/install_type.h"
#include "install/destination.h"
#include "install/disk_space.h"
#include "install/install_run.h"
#include "package/package_model.h"
#include "platform/disk.h"
#include "platform/system.h"
#include "startup/run_state.h"
#include "text/messages.h"
#include "text/path_services.h"
#include "ui/show_message.h"

namespace wf = wrenly::format;

namespace {


// Walks the current type's file table; tables were checked when loaded, so
// a record that fails to parse ends the walk.
struct TableWalk {
  wf::ByteView table;
  uint32_t at;
  uint32_t left;
  uint8_t* writable;
  TableWalk() {
    const InstallTypeSlot* type = ThePackage.currentType;
    writable = type ? type->fileTable : nullptr;
    table = wf::ByteView{writable, type && writable ? type->fileTableSize : 0};
    at = wf::file_table::kEntries;
    left = ThePackage.entryCount;
  }
  bool Next(wf::FileEntryView* e, uint8_t** record) {
    if (left == 0 || !wf::ParseFileEntry(table, at, e)) return false;
    *record = writable + at;
    at += e->recordSize;
    --left;
    return true;
  }
};

uint16_t TypeOptions() {
  const InstallTypeSlot* type = ThePackage.currentType;
  if (!type || type->recordSize < 2) return 0;
  return wf::LoadU16(type->record + wf::install_type::kOptions);
}

}  // namespace

int CheckDestinationFolder() {
  StripBackslash(InstallFolder);
  if (!*InstallFolder) return kResultFolderInvalid;
  if (GetFullPath(InstallFolder, WorkPath, kPathSize) > 0 && *WorkPath) memcpy(InstallFolder, WorkPath, kPathSize);
  // The folder carries a backslash more while files are installed.
  if (strlen(InstallFolder) >= kPathSize - 1) return kResultFolderInvalid;
  if (EnterFolder(InstallFolder) != 0) {
    const char* question = GetMessageText(wf::msg::kListMessages, wf::msg::kCreateFolder);
    if (*question && ShowMessage(question, kMessageYesNoQuestion) != kAnswerYes) return kFolderDeclined;
    AppendBackslash(InstallFolder);
    if (SinglePageMode) return 0;
    CreateFolderChain(InstallFolder);
    StripBackslash(InstallFolder);
    if (EnterFolder(InstallFolder) != 0) return kResultFolderInvalid;
  }
  AppendBackslash(InstallFolder);
  return 0;
}

int CheckDiskSpace() {
  uint32_t clusterKb;
  uint32_t freeKb = GetFreeDiskSpace(InstallFolder, &clusterKb);
  uint64_t cluster = (uint64_t)clusterKb * 1024;
  bool countInFull = TypeOptions() & wf::kOptCountFilesInFull;
  uint64_t total = 0, largest = 0;
  Run.readOnlyTarget = false;
  TableWalk walk;
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
    ResolveDestination(record);
    if (!*WorkPath) continue;
    uint32_t existing = 0, attributes = 0;
    bool exists = FindExistingFile(WorkPath, &existing, &attributes);
    total += EntrySpaceNeed(e.size, exists, existing, cluster);
    if (!exists) continue;
    if (font) {
      // An existing font stays the system's: it is not recorded for removal.
      wf::StoreU32(record + wf::file_entry::kFlags, e.flags | wf::kFlagNotLogged);
    } else if (attributes & kAttributeReadOnly) {
      Run.readOnlyTarget = true;
    }
  }
  return SpaceIsShort(total, largest, cluster, freeKb) ? 1 : 0;
}

DiskSpaceFigures MeasureDiskSpace() {
  uint32_t clusterKb;
  uint32_t freeKb = GetFreeDiskSpace(InstallFolder, &clusterKb);
  uint64_t cluster = (uint64_t)clusterKb * 1024, required = 0;
  TableWalk walk;
  wf::FileEntryView e;
  uint8_t* record;
  while (walk.Next(&e, &record)) required += RoundUpToClusters(e.size, cluster);
  return DiskSpaceFiguresFrom(freeKb, required);
}
