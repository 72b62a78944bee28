// The program's own file: read whole, checked before anything is trusted.
#include "platform/files.h"
#include "platform/removal.h"
#include "uninstaller/record_reader.h"
#include "uninstaller/win/program.h"

namespace wrenly::uninstaller {
namespace {
using namespace wrenly::format;

// The program's own wording, for a text the record lacks or leaves empty.
const char* const kFallback[kUninstallerTextCount] = {
    "uninstall.exe",
    "Uninstall",
    "Remove this program and all of its parts from your computer?",
    "Removing the program from your computer...",
    "The program was removed from your computer.",
    "The program was removed. Some of its files are in use: they will be removed when you restart "
    "your computer.",
    "The program was removed, but some of its parts could not be removed.",
    "The uninstall information is damaged or missing. Nothing was removed.",
    "Another uninstaller is already running. Wait until it has finished, then try again.",
};

struct Found {
  TextView texts[kUninstallerTextCount];
};

void OnText(void* context, uint16_t index, TextView text) {
  if (index < kUninstallerTextCount) ((Found*)context)->texts[index] = text;
}

}  // namespace

int ReadWholeFile(const char* path, uint8_t** bytes, uint32_t* size) {
  FileHandle file = FileOpen(path, kFileRead);
  if (file == INVALID_FILE) return 0;
  *size = FileSize(file);
  int ok = *size != kSeekFailed && AllocBuffer(*size, bytes) && FileRead(file, *bytes, *size) == 0;
  FileClose(file);
  return ok;
}

uint32_t LoadOwnFile(Program* p) {
  for (int i = 0; i < kUninstallerTextCount; ++i) p->texts[i] = kFallback[i];
  if (!GetOwnPath(p->ownPath) || !ReadWholeFile(p->ownPath, &p->bytes, &p->size)) return kExitFailed;
  p->originalPath = p->command.copy ? p->command.original : p->ownPath;
  Found found = {};
  RecordVisitor visitor = {&found, OnText, nullptr, nullptr, nullptr};
  UninstallFile file;
  RecordRefusal read = ReadUninstallFile(p->bytes, p->size, &visitor, &file);
  // A signed program holds no record: it lies beside the installed one.
  char beside[MAX_PATH];
  uint8_t* record;
  uint32_t size;
  if ((read == kRecordNoEnd || read == kRecordNoData) && RecordFileBeside(p->originalPath, beside, sizeof beside) &&
      ReadWholeFile(beside, &record, &size)) {
    FreeBuffer(&p->bytes);
    p->bytes = record, p->size = size;
    read = ReadUninstallFile(p->bytes, p->size, &visitor, &file);
  }
  if (read != kRecordGood) return kExitDamaged;
  for (int i = 0; i < kUninstallerTextCount; ++i) {
    TextView t = found.texts[i];
    char* text;
    if (!t.length) continue;
    if (!AllocBuffer(t.length + 1u, &text)) return kExitFailed;
    CopyMemory(text, t.text, t.length);
    text[t.length] = 0;
    p->texts[i] = text;
  }
  p->place = found.texts[kTextPlace].length ? found.texts[kTextPlace]
                                            : TextView{kFallback[0], (uint16_t)lstrlenA(kFallback[0])};
  if (!FindInstallFolder(p->originalPath, p->place, p->installFolder, sizeof p->installFolder)) return kExitFailed;
  return kExitDone;
}

int Say(const Program& p, UninstallerText text, UINT style) {
  if (p.command.silent) return IDYES;
  return MessageBoxA(nullptr, p.texts[text], p.texts[kTextTitle], style | MB_SETFOREGROUND);
}

}  // namespace wrenly::uninstaller
