// Any bytes: a refusal, or records whose every text can be read (ASan watches
// the reads), whose paths fit the buffer or are refused, and whose plan can
// be built and freed.
#include <string.h>

#include "uninstaller/undo_plan.h"

namespace wu = wrenly::uninstaller;

namespace {
void Judge(wu::TextView folder, wu::TextView name = {"", 0}) {
  char out[260];
  if (!wu::ResolveRecordPath(folder, name, "C:\\App\\", "C:\\Windows", "C:\\Windows\\System32", out, sizeof out) &&
      strlen(out) >= sizeof out)
    __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  wu::RecordVisitor v{nullptr, [](void*, uint16_t, wu::TextView t) { Judge(t); },
                      [](void*, uint32_t, const wu::FileRecordView& f) { Judge(f.folder, f.name); },
                      [](void*, uint32_t, const wu::ShortcutRecordView& s) { Judge(s.folder, s.name); },
                      [](void*, uint32_t, const wu::SectionView& s) { Judge(s.file, s.key), Judge(s.name); }};
  wu::UninstallFile out;
  if (wu::ReadUninstallFile(data, (uint32_t)size, &v, &out)) return 0;
  wu::UndoPlan plan;
  if (wu::BuildUndoPlan(data, (uint32_t)size, {"C:\\App", "C:\\Windows", "C:\\Windows\\System32"}, &plan))
    wu::FreeUndoPlan(&plan);
  return 0;
}
