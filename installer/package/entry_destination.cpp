#include "package/entry_destination.h"

#include "base/package_model.h"
#include "base/setup.h"
#include "platform/file_system.h"
#include "platform/system.h"
#include "text/path_variables.h"

using namespace wrenly::format;

namespace {
const int kFolderFonts = 0x14, kFolderDesktop = 0x10, kFolderMyDocuments = 5, kFolderAppData = 0x1A;

uint32_t Length(const char* s) {
  uint32_t n = 0;
  while (s[n]) ++n;
  return n;
}

// Copies src behind out[at]; false (out cut back to at) when it does not fit.
bool AppendAt(char* out, uint32_t size, uint32_t at, const char* src) {
  uint32_t n = Length(src);
  if (at >= size || n >= size - at) {
    if (at < size) out[at] = 0;
    return false;
  }
  for (uint32_t i = 0; i <= n; ++i) out[at + i] = src[i];
  return true;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The last component of a name; null when it could name something else than
// a file in the folder it is put in.
const char* LastComponent(const char* name) {
  const char* last = name;
  for (const char* p = name; *p; ++p)
    if (IsSeparator(*p)) last = p + 1;
  for (const char* p = last; *p; ++p)
    if (*p == ':') return nullptr;
  if (last[0] == '.' && (last[1] == 0 || (last[1] == '.' && last[2] == 0))) return nullptr;
  return last;
}

// The folder of kinds other than the installation folder; false leaves it.
void KindFolder(Setup& setup, const FileEntryView& e, char* folder, bool* inUseTest) {
  char found[kPathSize];
  switch (e.kind) {
    case kDestWindows:
      if (GetWindowsFolder(found)) AppendAt(folder, kPathSize, 0, found);
      return;
    case kDestShared: {
      const char* name = LastComponent(e.strings[kItemName]);
      if (!name) return;  // refused as damaged once the name is checked
      char windows[kPathSize], app[kPathSize];
      windows[0] = 0;
      GetWindowsFolder(windows);
      AppendAt(app, kPathSize, 0, setup.installFolder);
      if (Length(app) > 3 && app[Length(app) - 1] == '\\') app[Length(app) - 1] = 0;
      FindSharedFileFolder(name, windows, app, found, inUseTest);
      if (found[0] || GetSystemFolder(found)) AppendAt(folder, kPathSize, 0, found);
      return;
    }
    case kDestFonts:
      *inUseTest = true;
      if (GetSpecialFolderPath(found, kFolderFonts)) AppendAt(folder, kPathSize, 0, found);
      return;
    case kDestDesktop:
      if (GetSpecialFolderPath(found, kFolderDesktop)) AppendAt(folder, kPathSize, 0, found);
      return;
    case kDestTemp:
      if (GetTempFolder(found)) AppendAt(folder, kPathSize, 0, found);
      return;
    case kDestMyDocuments:
      if (GetSpecialFolderPath(found, kFolderMyDocuments)) AppendAt(folder, kPathSize, 0, found);
      return;
    case kDestAppData:
      if (GetSpecialFolderPath(found, kFolderAppData)) AppendAt(folder, kPathSize, 0, found);
      return;
    default: return;
  }
}

// A kind-8 folder must name its place in full: a drive's root or a share,
// then folders, none of them "..". A relative one would follow the current
// folder, which the package does not choose.
bool IsFullFolder(const char* folder) {
  bool drive = ((folder[0] | 0x20) >= 'a' && (folder[0] | 0x20) <= 'z') && folder[1] == ':' && IsSeparator(folder[2]);
  bool share = IsSeparator(folder[0]) && IsSeparator(folder[1]) && folder[2] && !IsSeparator(folder[2]);
  if (!drive && !share) return false;
  return !NameLeavesFolder(folder + (drive ? 3 : 2));
}

bool Fault(Setup& setup) {
  setup.run.destinationFault = kResultPackageIncomplete;
  setup.workPath[0] = 0;
  return false;
}
}  // namespace

bool NameLeavesFolder(const char* name) {
  if (IsSeparator(name[0]) || (name[0] && name[1] == ':')) return true;
  const char* part = name;
  for (const char* p = name;; ++p) {
    if (*p == ':') return true;
    if (*p == 0 || IsSeparator(*p)) {
      if (p - part == 2 && part[0] == '.' && part[1] == '.') return true;
      if (*p == 0) return false;
      part = p + 1;
    }
  }
}

bool FindFileEntry(Setup& setup, const uint8_t* entry, FileEntryView* out) {
  const InstallTypeSlot* type = setup.package.currentType;
  if (!type || !type->fileTable || !entry || entry < type->fileTable + file_table::kEntries ||
      entry >= type->fileTable + type->fileTableSize)
    return false;
  ByteView table{type->fileTable, type->fileTableSize};
  return ParseFileEntry(table, (uint32_t)(entry - type->fileTable), out);
}

bool ResolveDestination(Setup& setup, const uint8_t* entry) {
  FileEntryView e;
  setup.run.destinationFault = 0;
  if (!FindFileEntry(setup, entry, &e)) return Fault(setup);
  return ResolveEntryDestination(setup, e);
}

bool ResolveEntryDestination(Setup& setup, const FileEntryView& e) {
  setup.run.destinationFault = 0;
  setup.workPath[0] = 0;
  const char* item0 = e.strings[kItemName];
  if (e.flags & kFlagSourceFolder) {
    AppendAt(setup.workPath, kWorkPathSize, 0, setup.ownPath);
    uint32_t cut = 0;
    for (uint32_t i = 0; setup.workPath[i]; ++i)
      if (setup.workPath[i] == '\\') cut = i + 1;
    if (!AppendAt(setup.workPath, kWorkPathSize, cut, item0)) return Fault(setup);
    return false;
  }

  char folder[kPathSize];
  AppendAt(folder, kPathSize, 0, setup.installFolder);
  bool inUseTest = false;
  if (e.kind == kDestCustom) {
    if (ExpandPathVariables(setup, folder, e.strings[kItemFolder], kPathSize) >= kPathSize || !IsFullFolder(folder))
      return Fault(setup);
  } else {
    KindFolder(setup, e, folder, &inUseTest);
  }

  const char* name;
  if (DestKeepsSubfolders(e.kind)) {
    if (NameLeavesFolder(item0)) return Fault(setup);
    name = item0;
  } else {
    name = LastComponent(item0);
    if (!name) return Fault(setup);
  }
  // A file needs a name of its own: an empty one would make the folder
  // itself the file to replace. Folder entries end in a separator.
  const char* last = LastComponent(name);
  if (!(e.flags & kFlagFolder) && (!last || !*last)) return Fault(setup);

  if (!AppendAt(setup.workPath, kWorkPathSize, 0, folder)) return Fault(setup);
  uint32_t at = Length(setup.workPath);
  if (at > 0 && !IsSeparator(setup.workPath[at - 1])) {
    if (!AppendAt(setup.workPath, kWorkPathSize, at, "\\")) return Fault(setup);
    ++at;
  }
  if (!AppendAt(setup.workPath, kWorkPathSize, at, name)) return Fault(setup);
  return inUseTest && TestFileInUse(setup.workPath);
}

bool TestFileInUse(const char* path) {
  int probe = ProbeFile(path);
  if (probe == kProbeMissing) return false;
  if (probe == kProbeReadOnly) {
    SetReadOnlyAttribute(path, false);
    if (ProbeFile(path) != kProbeWritable) return true;
  }
  FileHandle file = FileOpen(path, kFileReadWrite);
  bool inUse = file == INVALID_FILE;
  if (!inUse) FileClose(file);
  if (probe == kProbeReadOnly) SetReadOnlyAttribute(path, true);
  return inUse;
}

namespace {
// The rule's first name into out; the index of its letter, 0 when it does not fit.
uint32_t FirstTemporaryName(const char* destination, char* out, uint32_t size) {
  uint32_t n = Length(destination);
  uint32_t cut = n;
  for (uint32_t i = 0; i < n; ++i) {
    if (destination[i] == '.') cut = i;
    if (IsSeparator(destination[i])) cut = n;
  }
  if (cut + 5 > size) return 0;
  for (uint32_t i = 0; i < cut; ++i) out[i] = destination[i];
  AppendAt(out, size, cut, ".$$A");
  return cut + 3;
}
}  // namespace

int MakeTemporaryName(const char* destination, char* out, uint32_t size) {
  uint32_t letter = FirstTemporaryName(destination, out, size);
  if (!letter) return 1;
  while (NamedFileExists(out)) {
    if (out[letter] == 'Z') return 1;
    ++out[letter];
  }
  return 0;
}

int CreateTemporaryFile(const char* destination, char* out, uint32_t size, FileHandle* file) {
  uint32_t letter = FirstTemporaryName(destination, out, size);
  if (!letter) return 1;
  // Created only where no file is: the test of the name and the creation are
  // one step, which every entry pays for.
  while ((*file = FileCreateNew(out)) == INVALID_FILE) {
    if (!NamedFileExists(out)) return 2;
    if (out[letter] == 'Z') return 1;
    ++out[letter];
  }
  return 0;
}
