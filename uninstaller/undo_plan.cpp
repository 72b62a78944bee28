#include "uninstaller/undo_plan.h"

#include <string.h>

#include "format/names.h"
#include "format/product_identity.h"
#include "format/uninstall_log.h"
#include "platform/files.h"

using namespace wrenly::format;

namespace wrenly::uninstaller {
namespace {
using format::AsciiLower;
using format::IsSlash;

constexpr TextView kNone{"", 0};

TextView View(const char* s) { return TextView{s, (uint16_t)strlen(s)}; }

// How many components path lies below folder, or -1 when it is not at or
// below it. In folder, "*" stands for one whole component, "?" for one
// character.
int LevelsBelow(const char* path, const char* folder) {
  const char* p = path;
  uint32_t n = (uint32_t)strlen(folder);
  while (n > 0 && folder[n - 1] == '\\') --n;
  for (uint32_t i = 0; i < n; ++i) {
    if (folder[i] == '*' && (i == 0 || folder[i - 1] == '\\')) {
      if (!*p || *p == '\\') return -1;
      while (*p && *p != '\\') ++p;
    } else if (*p && (folder[i] == '?' || AsciiLower(folder[i]) == AsciiLower(*p))) {
      ++p;
    } else {
      return -1;
    }
  }
  if (*p && *p != '\\') return -1;
  int levels = 0;
  for (; *p; ++p) levels += *p == '\\' && p[1] && p[1] != '\\';
  return levels;
}

bool HasControl(TextView t) {
  for (uint16_t i = 0; i < t.length; ++i)
    if ((uint8_t)t.text[i] < 0x20) return true;
  return false;
}

// Both passes run the same code: the first only counts steps and bytes, the
// second, with storage, writes them.
struct Planner {
  const UndoFolders* folders;
  UndoStep* steps;
  char* text;
  uint64_t count, bytes;
  uint32_t record;
  uint8_t* wideRecords;  // per record, in the second pass

  const char* Keep(TextView a, TextView b = kNone, TextView c = kNone) {
    char* at = text ? text + bytes : nullptr;
    if (at) {
      memcpy(at, a.text, a.length), memcpy(at + a.length, b.text, b.length);
      memcpy(at + a.length + b.length, c.text, c.length), at[a.length + b.length + c.length] = 0;
    }
    bytes += a.length + b.length + c.length + 1;
    return at;
  }
  void Add(UndoKind kind, PathRefusal refusal, const char* path, uint32_t root = 0, TextView name = kNone,
           TextView key = kNone) {
    UndoStep s{kind, refusal, root, path, Keep(name), Keep(key), record, false};
    if (steps) steps[count] = s;
    ++count;
  }
  // A path that did not fit is kept as the record gives it.
  PathRefusal AddPath(UndoKind kind, TextView folder, TextView name, uint32_t root = 0, TextView section = kNone,
                      TextView key = kNone) {
    char out[kPathSize];
    PathRefusal r =
        ResolveRecordPath(folder, name, folders->install, folders->windows, folders->system, out, sizeof out);
    uint32_t n = r == kPathTooLong ? 0 : (uint32_t)strlen(out);
    while (r == kPathGood && out[n - 1] == '\\') --n;  // never a root: something stays
    const char* path = r == kPathTooLong ? Keep(folder, name.length ? TextView{"\\", 1} : kNone, name)
                                         : Keep(TextView{out, (uint16_t)n});
    if (r == kPathGood && (HasControl(section) || HasControl(key))) r = kPathCharacter;
    Add(kind, r, path, root, section, key);
    return r;
  }

  void File(const FileRecordView& f) {
    if (!f.name.length) return (void)AddPath(kUndoFolder, f.folder, kNone);
    if (f.kind & kRecordSelfRegister) AddPath(kUndoUnregister, f.folder, f.name);
    AddPath(f.kind & kRecordFont ? kUndoFont : f.kind & kRecordShared ? kUndoSharedFile : kUndoFile, f.folder, f.name);
  }

  // The shortcut's folder and as many parents as its group has levels, never
  // the menu folder it lies in or above: the depth is the record's word only.
  void Shortcut(const ShortcutRecordView& s) {
    AddPath(kUndoShortcut, s.folder, s.name);
    char group[kPathSize];
    if (ResolveRecordPath(s.folder, kNone, folders->install, folders->windows, folders->system, group, sizeof group))
      return (void)AddPath(kUndoGroup, s.folder, kNone);
    uint32_t n = (uint32_t)strlen(group);
    while (group[n - 1] == '\\') --n;
    group[n] = 0;
    int levels = -1;
    for (uint32_t i = 0; i < folders->menuCount; ++i) {
      int below = LevelsBelow(group, folders->menus[i]);
      if (below >= 0 && (levels < 0 || below < levels)) levels = below;
    }
    if (levels < 0) return Add(kUndoGroup, kPathOutsideMenu, Keep(TextView{group, (uint16_t)n}));
    for (int level = 0; level <= s.depth && level < levels; ++level) {
      if (AddPath(kUndoGroup, TextView{group, (uint16_t)n}, kNone) != kPathGood) return;
      while (group[n - 1] != '\\') --n;  // a level below a menu folder always has a parent
      --n;
    }
  }

  void Section(const SectionView& s) {
    if (s.id == kSectionProduct) {
      if (wideRecords && s.architecture == kArchitectureX64) wideRecords[record] = 1;
      return;
    }
    if (s.id == kSectionIniValue) {
      // A bare file name is the system's: it lives in the Windows folder.
      bool bare = true;
      for (uint16_t i = 0; i < s.file.length; ++i) bare = bare && !IsSlash(s.file.text[i]) && s.file.text[i] != ':';
      TextView folder = bare ? View(folders->windows) : s.file;
      return (void)AddPath(kUndoIniValue, folder, bare ? s.file : kNone, 0, s.key, s.name);
    }
    // A key of one component is a hive's own: "Software" holds every product.
    uint32_t parts = 0;
    for (uint16_t i = 0; i < s.key.length; ++i) parts += s.key.text[i] != '\\' && (i == 0 || s.key.text[i - 1] == '\\');
    PathRefusal r = HasControl(s.key) || HasControl(s.name) ? kPathCharacter : kPathGood;
    if (s.id == kSectionRegistryKey) {
      if (parts < 2) r = kPathRoot;
      return Add(kUndoRegistryKey, r, Keep(s.key), s.root);
    }
    Add(kUndoRegistryValue, r, Keep(s.key), s.root, s.name);
  }
};

template <class Item, void (Planner::*Do)(const Item&)>
void Visit(void* planner, uint32_t record, const Item& v) {
  Planner* p = (Planner*)planner;
  p->record = record;
  (p->*Do)(v);
}

int Phase(const UndoStep& s) {
  switch (s.kind) {
    case kUndoUnregister: return 0;
    case kUndoGroup: return 2;
    case kUndoFolder: return 3;
    case kUndoRegistryKey:
    case kUndoRegistryValue:
    case kUndoIniValue: return 4;
    default: return 1;
  }
}
bool Merged(const UndoStep& s) { return Phase(s) == 2 || Phase(s) == 3; }

uint32_t Depth(const char* p) {
  uint32_t n = 0;
  for (; *p; ++p) n += *p == '\\' && p[1];  // a drive root's backslash is no level
  return n;
}

int ComparePaths(const char* a, const char* b) {
  for (; *a && AsciiLower(*a) == AsciiLower(*b); ++a, ++b) {}
  return (uint8_t)AsciiLower(*a) - (uint8_t)AsciiLower(*b);
}

// One path's groups or folders side by side, so that copies can be dropped.
bool ByPath(const UndoStep& a, const UndoStep& b) {
  if (Phase(a) != Phase(b)) return Phase(a) < Phase(b);
  if (int c = Merged(a) ? ComparePaths(a.path, b.path) : 0) return c < 0;
  return a.record > b.record;
}

bool InPlanOrder(const UndoStep& a, const UndoStep& b) {
  if (Phase(a) != Phase(b)) return Phase(a) < Phase(b);
  if (Merged(a) && Depth(a.path) != Depth(b.path)) return Depth(a.path) > Depth(b.path);
  return a.record > b.record;
}

// Stable bottom-up merge sort: steps of one record keep their file order.
void Sort(UndoStep* s, UndoStep* spare, uint32_t n, bool (*before)(const UndoStep&, const UndoStep&)) {
  UndoStep *from = s, *to = spare;
  for (uint32_t width = 1; width < n; width *= 2) {
    for (uint32_t lo = 0; lo < n; lo += 2 * width) {
      uint32_t mid = n - lo > width ? lo + width : n, hi = n - mid > width ? mid + width : n;
      for (uint32_t i = lo, j = mid, k = lo; k < hi; ++k)
        to[k] = j < hi && (i == mid || before(from[j], from[i])) ? from[j++] : from[i++];
    }
    UndoStep* t = from;
    from = to, to = t;
  }
  if (from != s) memcpy(s, from, n * sizeof *s);
}

}  // namespace

int BuildUndoPlan(const uint8_t* bytes, uint32_t size, const UndoFolders& folders, UndoPlan* plan) {
  *plan = UndoPlan{nullptr, 0, 0, nullptr};
  Planner p{&folders, nullptr, nullptr, 0, 0, 0, nullptr};
  RecordVisitor v{&p, nullptr, Visit<FileRecordView, &Planner::File>, Visit<ShortcutRecordView, &Planner::Shortcut>,
                  Visit<SectionView, &Planner::Section>};
  UninstallFile file;
  if (ReadUninstallFile(bytes, size, &v, &file) != kRecordGood) return 0;
  uint64_t stepBytes = p.count * sizeof(UndoStep), total = 2 * stepBytes + p.bytes + file.records;
  if (total > 0x7FFFFFFF || !AllocBuffer((uint32_t)total, &plan->storage)) return 0;
  p.steps = (UndoStep*)plan->storage, p.text = (char*)plan->storage + 2 * stepBytes;
  p.wideRecords = (uint8_t*)p.text + p.bytes;
  memset(p.wideRecords, 0, file.records);
  p.count = p.bytes = 0;
  ReadUninstallFile(bytes, size, &v, &file);
  // A record's product section follows its files.
  for (uint32_t i = 0; i < p.count; ++i) p.steps[i].wide = p.wideRecords[p.steps[i].record] != 0;

  uint32_t n = (uint32_t)p.count, kept = 0;
  UndoStep* steps = p.steps;
  Sort(steps, steps + n, n, ByPath);
  for (uint32_t i = 0; i < n; ++i) {
    const UndoStep& s = steps[i];
    if (!kept || !Merged(s) || Phase(s) != Phase(steps[kept - 1]) || ComparePaths(s.path, steps[kept - 1].path))
      steps[kept++] = s;
  }
  Sort(steps, steps + n, kept, InPlanOrder);
  *plan = UndoPlan{steps, kept, file.records, plan->storage};
  return 1;
}

namespace {
bool Registry(UndoKind k) { return k == kUndoRegistryKey || k == kUndoRegistryValue; }

// key is at or below the key `above`.
bool KeyWithin(const char* key, const char* above) {
  uint32_t n = (uint32_t)strlen(above);
  while (n > 0 && above[n - 1] == '\\') --n;
  for (uint32_t i = 0; i < n; ++i)
    if (AsciiLower(key[i]) != AsciiLower(above[i])) return false;
  return key[n] == 0 || key[n] == '\\';
}

// Whether newer's step t takes what s would: the same path, the same INI
// line, or a registry key at or above s's (a key holds its values), or the
// same value. An old key that holds a newer one's key or value stays too.
bool Covers(const UndoStep& t, const UndoStep& s) {
  if (Registry(s.kind) != Registry(t.kind) || (s.kind == kUndoIniValue) != (t.kind == kUndoIniValue)) return false;
  if (s.kind == kUndoIniValue)
    return !ComparePaths(s.path, t.path) && !ComparePaths(s.name, t.name) && !ComparePaths(s.key, t.key);
  if (!Registry(s.kind)) return !ComparePaths(s.path, t.path);
  if (s.root != t.root) return false;
  if (t.kind == kUndoRegistryKey && KeyWithin(s.path, t.path)) return true;
  if (s.kind == kUndoRegistryKey) return KeyWithin(t.path, s.path);
  return t.kind == kUndoRegistryValue && !ComparePaths(s.path, t.path) && !ComparePaths(s.name, t.name);
}
}  // namespace

void SubtractPlan(UndoPlan* plan, const UndoPlan& newer) {
  uint32_t kept = 0;
  for (uint32_t i = 0; i < plan->count; ++i) {
    bool covered = false;
    for (uint32_t j = 0; j < newer.count && !covered; ++j) covered = Covers(newer.steps[j], plan->steps[i]);
    if (!covered) plan->steps[kept++] = plan->steps[i];
  }
  plan->count = kept;
}

void FreeUndoPlan(UndoPlan* plan) {
  FreeBuffer(&plan->storage);
  *plan = UndoPlan{nullptr, 0, 0, nullptr};
}

int FindInstallFolder(const char* ownPath, TextView place, char* out, uint32_t outSize) {
  uint32_t n = (uint32_t)strlen(ownPath), at = n - place.length;
  bool match = place.length > 0 && place.length < n && IsSlash(ownPath[at - 1]);
  for (uint32_t i = 0; match && i < place.length; ++i)
    match = AsciiLower(ownPath[at + i]) == AsciiLower(place.text[i]) ||
            (IsSlash(ownPath[at + i]) && IsSlash(place.text[i]));
  if (!match)
    for (at = n; at > 0 && !IsSlash(ownPath[at - 1]);) --at;
  while (at > 0 && IsSlash(ownPath[at - 1])) --at;
  if (at >= outSize) return 0;
  memcpy(out, ownPath, at), out[at] = 0;
  return 1;
}

}  // namespace wrenly::uninstaller
