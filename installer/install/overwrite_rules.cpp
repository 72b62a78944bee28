#include "install/overwrite_rules.h"

#include "install/install_run.h"
#include "platform/restart_ops.h"
#include "startup/run_state.h"
#include "text/error_text.h"
#include "text/messages.h"
#include "ui/show_message.h"

using namespace wrenly::format;

namespace {
const uint32_t kQuestionSize = 2048;
const uint32_t kComparePiece = 8192;

bool Ask(AskFunction ask, const char* text, const char* path, unsigned style) {
  char question[kQuestionSize];
  FormatBounded(question, sizeof question, text, path, false, 0);
  return ask(question, style) == kAnswerYes;
}

// Whether the two open files hold the same size bytes.
bool SameContent(FileHandle a, FileHandle b, uint32_t size) {
  uint8_t* buffer = nullptr;
  if (!AllocBuffer(2 * kComparePiece, &buffer)) return false;
  bool same = true;
  while (same && size > 0) {
    uint32_t piece = size < kComparePiece ? size : kComparePiece;
    same = FileRead(a, buffer, piece) == 0 && FileRead(b, buffer + kComparePiece, piece) == 0;
    for (uint32_t i = 0; same && i < piece; ++i) same = buffer[i] == buffer[kComparePiece + i];
    size -= piece;
  }
  FreeBuffer(&buffer);
  return same;
}
}  // namespace

void SetEntryStatus(const FileEntryView& entry, uint16_t status) {
  StoreU16((uint8_t*)entry.record + file_entry::kStatus, status);
}

int DecideFileVersion(const FileVersionFacts& existing, const FileEntryView& entry, const char* newerText,
                      const char* languageText, const char* path, AskFunction ask) {
  if (!entry.versionBlock) return 1;
  const unsigned style = kMessageYesNoQuestion | kMessageDefaultNo;
  if ((entry.flags & kFlagVersionCheck) && existing.hasFixed) {
    uint32_t ms = LoadU32(entry.versionBlock + file_entry::version::kVersionMS);
    uint32_t ls = LoadU32(entry.versionBlock + file_entry::version::kVersionLS);
    bool newer = existing.versionMS > ms || (existing.versionMS == ms && existing.versionLS > ls);
    if (newer && (!newerText[0] || !Ask(ask, newerText, path, style))) return 0;
  }
  if ((entry.flags & kFlagLanguageCheck) && existing.hasLanguage) {
    uint32_t language = LoadU32(entry.versionBlock + file_entry::version::kLanguage);
    if ((existing.language & 0xFFFFu) != language && !Ask(ask, languageText, path, style)) return 0;
  }
  return 1;
}

int CheckFileVersion(const FileEntryView& entry) {
  FileVersionFacts facts;
  if (!ReadFileVersion(WorkPath, &facts)) return 1;
  return DecideFileVersion(facts, entry, GetMessageText(msg::kListMessages, msg::kNewerFile),
                           GetMessageText(msg::kListMessages, msg::kOtherLanguage), WorkPath, ShowMessage);
}

int ConfirmDamagedFile() {
  if (Options.acceptDamaged) return 1;
  // Enter must not put a damaged file in place.
  const char* question = GetMessageText(msg::kListMessages, msg::kCheckFailed);
  if (Ask(ShowMessage, question, WorkPath, kMessageYesNoQuestion | kMessageDefaultNo)) return 1;
  ResultCode = kResultFileDamaged;
  SetErrorArgument(WorkPath);
  return 0;
}

int ReplaceDestinationFile(const FileEntryView& entry, const char* tempName) {
  int probe = ProbeFile(WorkPath);
  bool readOnly = probe == kProbeReadOnly;
  if (readOnly) SetReadOnlyAttribute(WorkPath, false);
  int outcome = ReplaceNamedFile(tempName, WorkPath);
  if (outcome == kFileOpDone) {
    if (readOnly) SetReadOnlyAttribute(WorkPath, true);
    SetEntryStatus(entry, probe == kProbeMissing ? kOutcomeCreated : kOutcomeReplaced);
    return 0;
  }
  if (readOnly) SetReadOnlyAttribute(WorkPath, true);
  if (outcome == kFileOpDenied && probe != kProbeMissing) {
    ResolveLockedFile(entry, tempName);
    return 0;
  }
  ResultCode = kResultCannotWrite;
  SetErrorArgument(WorkPath);
  return ResultCode;
}

void ResolveLockedFile(const FileEntryView& entry, const char* tempName) {
  bool same = false;
  FileHandle existing = FileOpen(WorkPath, kFileRead);
  if (existing != INVALID_FILE) {
    if (FileSize(existing) == entry.size) {
      FileHandle fresh = FileOpen(tempName, kFileRead);
      if (fresh != INVALID_FILE) {
        same = SameContent(existing, fresh, entry.size);
        FileClose(fresh);
      }
    }
    FileClose(existing);
  }
  if (same) {
    DeleteNamedFile(tempName);
    SetEntryStatus(entry, kOutcomeReplaced);
    return;
  }
  MoveFileAtRestart(WorkPath, tempName);
  RestartNeeded = true;
  SetEntryStatus(entry, kOutcomeAtRestart);
}

void AddSharedFileReference() {
  uint32_t count = 0;
  count = QueryMachineDword(kSharedKey, WorkPath, &count) ? count + 1 : 1;
  SetMachineDword(kSharedKey, WorkPath, count);
}
