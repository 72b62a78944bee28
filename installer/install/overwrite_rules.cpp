#include "install/overwrite_rules.h"

#include "base/display.h"
#include "base/setup.h"
#include "install/install_run.h"
#include "platform/restart_ops.h"
#include "text/error_text.h"
#include "text/messages.h"

using namespace wrenly::format;

namespace {
const uint32_t kQuestionSize = 2048;
const uint32_t kComparePiece = 8192;

bool Ask(Setup& setup, AskFunction ask, const char* text, const char* path, unsigned style) {
  char question[kQuestionSize];
  FormatBounded(question, sizeof question, text, path, false, 0);
  // Unattended, the file on the machine stays and a damaged one is refused.
  return ask(setup, question, style, kAnswerNo) == kAnswerYes;
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

int DecideFileVersion(Setup& setup, const FileVersionFacts& existing, const FileEntryView& entry, const char* newerText,
                      const char* languageText, const char* path, AskFunction ask) {
  if (!entry.versionBlock) return 1;
  const unsigned style = kMessageYesNoQuestion | kMessageDefaultNo;
  if ((entry.flags & kFlagVersionCheck) && existing.hasFixed) {
    uint32_t ms = LoadU32(entry.versionBlock + file_entry::version::kVersionMS);
    uint32_t ls = LoadU32(entry.versionBlock + file_entry::version::kVersionLS);
    bool newer = existing.versionMS > ms || (existing.versionMS == ms && existing.versionLS > ls);
    if (newer && (!newerText[0] || !Ask(setup, ask, newerText, path, style))) return 0;
  }
  if ((entry.flags & kFlagLanguageCheck) && existing.hasLanguage) {
    uint32_t language = LoadU32(entry.versionBlock + file_entry::version::kLanguage);
    if ((existing.language & 0xFFFFu) != language && !Ask(setup, ask, languageText, path, style)) return 0;
  }
  return 1;
}

int CheckFileVersion(Setup& setup, const FileEntryView& entry) {
  FileVersionFacts facts;
  if (!ReadFileVersion(setup.workPath, &facts)) return 1;
  return DecideFileVersion(setup, facts, entry, GetMessageText(setup, msg::kListMessages, msg::kNewerFile),
                           GetMessageText(setup, msg::kListMessages, msg::kOtherLanguage), setup.workPath, AskUser);
}

int ConfirmDamagedFile(Setup& setup) {
  if (setup.options.acceptDamaged) return 1;
  // Enter must not put a damaged file in place.
  const char* question = GetMessageText(setup, msg::kListMessages, msg::kCheckFailed);
  if (Ask(setup, AskUser, question, setup.workPath, kMessageYesNoQuestion | kMessageDefaultNo)) return 1;
  setup.resultCode = kResultFileDamaged;
  SetErrorArgument(setup, setup.workPath);
  return 0;
}

int ReplaceDestinationFile(Setup& setup, const FileEntryView& entry, const char* tempName) {
  int probe = ProbeFile(setup.workPath);
  bool readOnly = probe == kProbeReadOnly;
  if (readOnly) SetReadOnlyAttribute(setup.workPath, false);
  int outcome = ReplaceNamedFile(tempName, setup.workPath);
  if (outcome == kFileOpDone) {
    if (readOnly) SetReadOnlyAttribute(setup.workPath, true);
    SetEntryStatus(entry, probe == kProbeMissing ? kOutcomeCreated : kOutcomeReplaced);
    return 0;
  }
  if (readOnly) SetReadOnlyAttribute(setup.workPath, true);
  if (outcome == kFileOpDenied && probe != kProbeMissing) return ResolveLockedFile(setup, entry, tempName);
  setup.resultCode = kResultCannotWrite;
  SetErrorArgument(setup, setup.workPath);
  return setup.resultCode;
}

int ResolveLockedFile(Setup& setup, const FileEntryView& entry, const char* tempName) {
  bool same = false;
  FileHandle existing = FileOpen(setup.workPath, kFileRead);
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
    return 0;
  }
  // Nothing would replace it later: the file cannot be written.
  if (MoveFileAtRestart(setup.workPath, tempName) != 0) {
    setup.resultCode = kResultCannotWrite;
    SetErrorArgument(setup, setup.workPath);
    return setup.resultCode;
  }
  setup.restartNeeded = true;
  SetEntryStatus(entry, kOutcomeAtRestart);
  return 0;
}

void AddSharedFileReference(Setup& setup) {
  uint32_t count = 0;
  uint32_t view = ProductRoot(setup, 0);
  count = QueryMachineDword(kSharedKey, setup.workPath, &count, view) ? count + 1 : 1;
  SetMachineDword(kSharedKey, setup.workPath, count, view);
}
